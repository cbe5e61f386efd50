// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The tables that resources/lingue/genera measures on running text of each language.

#include "Lingue.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace varnel {

inline constexpr std::size_t NumeroQuadrigrammi = 26 * 26 * 26 * 26;

// Log-probability of each quadgram of letters (index ((a·26 + b)·26 + c)·26 + d), one byte:
// 0 for a quadgram never seen, then QuadrigrammiPerDecade steps for each power of ten.
using TabellaQuadrigrammi = std::array<std::uint8_t, NumeroQuadrigrammi>;
inline constexpr int QuadrigrammiPerDecade = 40;

[[nodiscard]] const TabellaQuadrigrammi& Quadrigrammi(Lingua lingua);

// The same over 27 symbols, the letters and the word boundary (any run of other characters),
// measured on text with its word spaces (index base 27).
inline constexpr std::uint8_t Confine = 26;
inline constexpr std::size_t NumeroQuadrigrammiConfini = 27 * 27 * 27 * 27;
using TabellaQuadrigrammiConfini = std::array<std::uint8_t, NumeroQuadrigrammiConfini>;
[[nodiscard]] const TabellaQuadrigrammiConfini& QuadrigrammiConfini(Lingua lingua);

// A word of letters 0–25 as one number: five bits a letter for the first twelve, the rest mixed
// in; never 0.
[[nodiscard]] constexpr std::uint64_t CodiceParola(std::uint64_t codice, std::size_t posizione, std::uint8_t lettera)
{
    const std::uint64_t l = lettera + 1u;
    return posizione < 12 ? codice | (l << (5 * posizione)) : (codice ^ l) * 0x9E3779B97F4A7C15ull + 1;
}

// The words of a language with their log-probabilities: ParolePerDecade steps a power of ten above
// a floor just under the rarest word, 1–26; 0 for a word not in it.
inline constexpr int ParolePerDecade = 5;
class Lessico {
public:
    explicit Lessico(std::span<const std::string_view> compresso);
    [[nodiscard]] std::uint8_t valore(std::uint64_t codice) const
    {
        for (std::size_t i = Posto(codice, m_bit);; i = (i + 1) & (m_codici.size() - 1)) {
            if (m_codici[i] == codice)
                return m_valori[i];
            if (m_codici[i] == 0)
                return 0;
        }
    }

private:
    [[nodiscard]] static std::size_t Posto(std::uint64_t codice, unsigned bit)
    {
        return static_cast<std::size_t>((codice * 0x9E3779B97F4A7C15ull) >> (64 - bit));
    }
    void aggiungi(std::uint64_t codice, std::uint8_t valore);

    unsigned m_bit = 1;
    std::vector<std::uint64_t> m_codici;  // open addressing, 0 for an empty place
    std::vector<std::uint8_t> m_valori;
};
[[nodiscard]] const Lessico& LessicoLingua(Lingua lingua);

extern const std::array<double, 26> FrequenzeItaliano;
extern const std::array<double, 26> FrequenzeInglese;
// The quadgrams seen, as resources/lingue/genera compresses them; Quadrigrammi() expands them.
extern const std::span<const std::uint8_t> QuadrigrammiCompressiItaliano;
extern const std::span<const std::uint8_t> QuadrigrammiCompressiInglese;
extern const std::span<const std::uint8_t> QuadrigrammiConfiniCompressiItaliano;
extern const std::span<const std::uint8_t> QuadrigrammiConfiniCompressiInglese;
// The lexicon front-coded, as resources/lingue/genera writes it, in pieces that end between words.
extern const std::span<const std::string_view> LessicoItaliano;
extern const std::span<const std::string_view> LessicoInglese;

}  // namespace varnel
