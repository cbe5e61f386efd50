// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How well a key makes the cipher read like the language. A text with word boundaries is scored
// by its quadgrams over the letters and the boundary and by its whole words in the lexicon; a text
// without them by its quadgrams of letters alone. A swap of two letters rescores only the
// quadgrams and words that hold one of the two slots.

#include "Cifrario.h"
#include "TabelleLingue.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace varnel {

// Whether the symbols read as words: boundaries often enough, and not groups of one length as
// ciphertext is often written in.
[[nodiscard]] bool HaParole(std::span<const std::uint8_t> sequenza);

class Modello {
public:
    Modello(std::span<const std::uint8_t> sequenza, Lingua lingua);

    [[nodiscard]] bool conParole() const { return m_conParole; }
    // Whether the slot occurs in the text.
    [[nodiscard]] bool presente(std::size_t slot) const { return !m_conSlot[slot].empty(); }
    // Takes a whole key (a letter for every slot) and returns its score.
    std::int64_t imposta(const Chiave& chiave);
    [[nodiscard]] const Chiave& chiave() const { return m_chiave; }
    // The score's change if slots i and j swapped letters; `applica` keeps the swap.
    std::int64_t scambia(std::size_t i, std::size_t j, bool applica);
    // Quadgrams and words valued so far: the solver's measure of work done.
    [[nodiscard]] std::uint64_t lavoro() const { return m_lavoro; }

private:
    struct Voce {                         // a distinct quadgram or word of the cipher
        std::uint32_t inizio, lunghezza;  // in m_simboli
        std::int64_t peso;                // how often it occurs
        std::int64_t valore;              // under the current key
        bool parola;                      // a whole word, else a quadgram
    };
    [[nodiscard]] std::int64_t valuta(const Voce& voce) const;

    bool m_conParole;
    const TabellaQuadrigrammi& m_lettere;
    const TabellaQuadrigrammiConfini& m_confini;
    const Lessico& m_lessico;
    std::vector<std::uint8_t> m_simboli;  // of every distinct quadgram and word, one after the other
    std::vector<Voce> m_voci;
    std::array<std::vector<std::uint32_t>, NumeroSlot> m_conSlot;
    std::vector<std::uint32_t> m_visto;  // the swap that last rescored each entry
    std::uint32_t m_turno = 0;
    std::array<std::uint8_t, NumeroSlot + 1> m_lettera{};  // slot → letter 0–25, the boundary to itself
    Chiave m_chiave{};
    std::uint64_t m_lavoro = 0;
};

}  // namespace varnel
