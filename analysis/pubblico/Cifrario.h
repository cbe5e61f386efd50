// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// From counted symbols to a plaintext: the key, the text under it, the ranks, the index of
// coincidence, the n-grams, and a key proposed for a language.

#include "Analisi.h"
#include "AnalisiFile.h"
#include "Avanzamento.h"
#include "Esito.h"
#include "Lingue.h"
#include "Scrittura.h"
#include "Simboli.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace varnel {

// Cipher symbol → plain letter: for each slot in window order, 'a'–'z' or 0 when not chosen.
using Chiave = std::array<char, NumeroSlot>;

// Which slot a character is counted in under a criterion, as the counting matches it.
class MappaSimboli {
public:
    static constexpr int Nessuno = -1;
    explicit MappaSimboli(const Criterio& criterio);
    [[nodiscard]] int slot(char32_t carattere) const;

private:
    Criterio m_criterio;
};

// The text under a key: each counted symbol with a letter becomes that letter, keeping the case of
// a letter it replaces (a symbol that is no uppercase letter gives the lowercase one).
class Sostituzione {
public:
    Sostituzione(const Criterio& criterio, const Chiave& chiave);
    // The replacement of a character, or 0 when it stays as it is.
    [[nodiscard]] char32_t sostituto(char32_t carattere) const;
    [[nodiscard]] std::u32string applica(std::u32string_view testo) const;

private:
    MappaSimboli m_mappa;
    Chiave m_chiave;
};

// Slots by count, most frequent first; equal counts keep window order.
[[nodiscard]] std::array<std::size_t, NumeroSlot> Classifica(const Conteggi& conteggi);
// Letters of a language by frequency, most frequent first.
[[nodiscard]] std::array<std::size_t, NumeroSlot> ClassificaLettere(Lingua lingua);
// The k-th most frequent slot gets the language's k-th letter.
[[nodiscard]] Chiave ChiavePerFrequenza(const Conteggi& conteggi, Lingua lingua);

// Σ n(n−1) ÷ N(N−1) over the counted symbols; 0 below two symbols.
[[nodiscard]] double IndiceCoincidenza(const Conteggi& conteggi);
// What the index is for text of the language, and for random text.
[[nodiscard]] double IndiceCoincidenzaLingua(Lingua lingua);
inline constexpr double IndiceCoincidenzaCasuale = 1.0 / 26.0;
// Whether the index is too far under the language's, for a text of this many symbols, to come from
// a simple substitution of it: several alphabets (a polyalphabetic cipher), random text, or
// another language.
[[nodiscard]] bool SostituzioneImprobabile(const Conteggi& conteggi, Lingua lingua);

// A key whose letters, on every slot the text uses, are enciphered as c = a·p + b (mod 26), slots
// read as the letters a–z: an affine cipher, a shift (Caesar) when a = 1. Found only when the text
// uses a few letters at least; a shift is preferred.
struct Affine {
    int moltiplicatore;
    int spostamento;
    friend bool operator==(const Affine&, const Affine&) = default;
};
[[nodiscard]] std::optional<Affine> RiconosciAffine(const Chiave& chiave, const Conteggi& conteggi);

// Fewer counted symbols than this give frequencies too uncertain to go by.
inline constexpr std::uint64_t SimboliAffidabili = 100;
// What the index of coincidence says of one substitution of the language.
enum class Verdetto {
    Incerto,      // between random text and the language
    Improbabile,  // SostituzioneImprobabile
    Probabile,    // nearer the language's index than random text's
};
// What the deciphering window says of a text and its key beyond the numbers.
struct Riconosciuto {
    bool breve = false;  // fewer than SimboliAffidabili symbols
    Verdetto sostituzione = Verdetto::Incerto;
    std::optional<Affine> affine;  // RiconosciAffine, when the symbols are the letters a–z
    friend bool operator==(const Riconosciuto&, const Riconosciuto&) = default;
};
[[nodiscard]] Riconosciuto Riconosci(const Chiave& chiave, const Conteggi& conteggi, const Criterio& criterio,
                                     Lingua lingua);

// The counted symbols of a text as slots, with Separatore wherever other characters stood between.
inline constexpr std::uint8_t Separatore = NumeroSlot;
[[nodiscard]] std::vector<std::uint8_t> SequenzaSimboli(std::u32string_view testo, const Criterio& criterio);

struct Ngramma {
    std::vector<std::uint8_t> slot;  // consecutive in the text
    std::uint64_t conteggio = 0;
    friend bool operator==(const Ngramma&, const Ngramma&) = default;
};
// The most frequent n-grams of symbols adjacent in the text, most frequent first, ties in window order.
[[nodiscard]] std::vector<Ngramma> NgrammiFrequenti(std::span<const std::uint8_t> sequenza, std::size_t lunghezza,
                                                    std::size_t quanti);
// Symbols written twice in a row, by how often, ties in window order.
[[nodiscard]] std::vector<Ngramma> Doppie(std::span<const std::uint8_t> sequenza);

// The solver looks at no more of the text than this.
inline constexpr std::size_t SimboliRisolutore = 20'000;
// The key that makes the symbols read most like the language. Text with word spaces is scored by
// quadgrams over the letters and the word boundary and by its words in a lexicon; text without
// them by quadgrams of letters. The search climbs from the frequency key and from independent
// random keys drawn with a fixed seed, and ends when independent climbs have reached the best key
// again or after a fixed amount of work: the same text always gives the same key, on every
// machine. Annullata when cancelled.
[[nodiscard]] Esito<Chiave> ProponiChiave(std::span<const std::uint8_t> sequenza, const Conteggi& conteggi,
                                          Lingua lingua, Avanzamento& avanzamento);
// The same, keeping every letter of `parziale` (0 for a slot left to the search).
[[nodiscard]] Esito<Chiave> CompletaChiave(std::span<const std::uint8_t> sequenza, const Conteggi& conteggi,
                                           Lingua lingua, const Chiave& parziale, Avanzamento& avanzamento);
// How well a whole key makes the symbols read like the language, under the solver's own model.
[[nodiscard]] std::int64_t PunteggioChiave(std::span<const std::uint8_t> sequenza, const Chiave& chiave, Lingua lingua);

// Where a text's bytes come from: a file, pasted text given out as UTF-8 (it is analysed as a file
// holding that UTF-8 would be), or a browser's File read in slices. Fills the buffer, 0 at the end.
using FonteByte = std::function<Esito<std::size_t>(std::span<std::uint8_t>)>;
// The beginning of a text as decoded in the code page its analysis found: at least `caratteri`
// characters and `simboli` counted symbols, unless the text ends first.
[[nodiscard]] Esito<std::u32string> LeggiInizio(const FonteByte& fonte, Codifica codifica, const Criterio& criterio,
                                                std::size_t caratteri, std::size_t simboli);
// The beginning of a file as decoded: at least `caratteri` characters and `simboli` counted symbols,
// unless the file ends first.
[[nodiscard]] Esito<std::u32string> LeggiInizio(const std::filesystem::path& percorso, Codifica codifica,
                                                const Criterio& criterio, std::size_t caratteri, std::size_t simboli);
// The same of pasted text, read as its analysis read it (as UTF-8).
[[nodiscard]] std::u32string LeggiInizio(std::u16string_view testo, const Criterio& criterio, std::size_t caratteri,
                                         std::size_t simboli);

// The whole text under the key, in UTF-8, to `uscita`; FileModificato when the bytes are no longer
// in the code page, Annullata when cancelled.
[[nodiscard]] std::optional<Errore> ScriviDecifrato(const FonteByte& fonte, Codifica codifica,
                                                    const Sostituzione& sostituzione, Uscita& uscita,
                                                    Avanzamento& avanzamento);
// Writes the whole analysed file under the key, in UTF-8, to `destinazione`, whole or not at all.
// The file must still be the version `analizzato` that the analysis read (AnalizzatoMancante,
// AnalizzatoCambiato otherwise, also when it changes while saved); never over the file itself.
[[nodiscard]] Esito<Scritto> SalvaDecifrato(const std::filesystem::path& sorgente, const ImprontaFile& analizzato,
                                            Codifica codifica, const Sostituzione& sostituzione,
                                            const std::filesystem::path& destinazione, Avanzamento& avanzamento);
// The same of pasted text.
[[nodiscard]] Esito<Scritto> SalvaDecifrato(std::u16string_view testo, const Sostituzione& sostituzione,
                                            const std::filesystem::path& destinazione, Avanzamento& avanzamento);

}  // namespace varnel
