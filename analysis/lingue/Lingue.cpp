// SPDX-License-Identifier: GPL-3.0-or-later
#include "TabelleLingue.h"

#include <memory>
#include <string>

namespace varnel {

namespace {

// Each quadgram seen: its distance from the last one seen, 7 bits a byte from the lowest, the high
// bit set on all bytes but the last; then its value.
template <class Tabella>
std::unique_ptr<const Tabella> Espandi(std::span<const std::uint8_t> compressi)
{
    auto tabella = std::make_unique<Tabella>();
    std::size_t indice = 0;
    for (std::size_t i = 0; i < compressi.size();) {
        std::size_t salto = 0;
        for (unsigned spostamento = 0;; spostamento += 7) {
            const std::uint8_t b = compressi[i++];
            salto |= static_cast<std::size_t>(b & 127) << spostamento;
            if (b < 128)
                break;
        }
        indice += salto;
        (*tabella)[indice++] = compressi[i++];
    }
    return tabella;
}

[[nodiscard]] bool Maiuscola(char c) { return c >= 'A' && c <= 'Z'; }

}  // namespace

const std::array<double, 26>& FrequenzeLettere(Lingua lingua)
{
    return lingua == Lingua::Italiano ? FrequenzeItaliano : FrequenzeInglese;
}

const TabellaQuadrigrammi& Quadrigrammi(Lingua lingua)
{
    // Expanded on first use, once for the whole run (static initialisation is thread-safe).
    static const auto italiano = Espandi<TabellaQuadrigrammi>(QuadrigrammiCompressiItaliano);
    static const auto inglese = Espandi<TabellaQuadrigrammi>(QuadrigrammiCompressiInglese);
    return lingua == Lingua::Italiano ? *italiano : *inglese;
}

const TabellaQuadrigrammiConfini& QuadrigrammiConfini(Lingua lingua)
{
    static const auto italiano = Espandi<TabellaQuadrigrammiConfini>(QuadrigrammiConfiniCompressiItaliano);
    static const auto inglese = Espandi<TabellaQuadrigrammiConfini>(QuadrigrammiConfiniCompressiInglese);
    return lingua == Lingua::Italiano ? *italiano : *inglese;
}

// Per word: an uppercase letter for how many letters it shares with the word before, its other
// letters, an uppercase letter for its value.
Lessico::Lessico(std::span<const std::string_view> compresso)
{
    std::size_t parole = 0;
    for (const auto pezzo : compresso) {
        for (std::size_t i = 0; i + 1 < pezzo.size(); ++i)
            parole += Maiuscola(pezzo[i]) && !Maiuscola(pezzo[i + 1]) ? 1u : 0u;
    }
    while ((std::size_t{1} << m_bit) < 2 * parole)
        ++m_bit;
    m_codici.assign(std::size_t{1} << m_bit, 0);
    m_valori.assign(m_codici.size(), 0);
    std::string parola;  // front coding runs on from one piece to the next
    for (const auto pezzo : compresso) {
        for (std::size_t i = 0; i < pezzo.size();) {
            parola.resize(static_cast<std::size_t>(pezzo[i++] - 'A'));
            while (!Maiuscola(pezzo[i]))
                parola += pezzo[i++];
            std::uint64_t codice = 0;
            for (std::size_t k = 0; k < parola.size(); ++k)
                codice = CodiceParola(codice, k, static_cast<std::uint8_t>(parola[k] - 'a'));
            aggiungi(codice, static_cast<std::uint8_t>(pezzo[i++] - 'A' + 1));
        }
    }
}

void Lessico::aggiungi(std::uint64_t codice, std::uint8_t valore)
{
    std::size_t i = Posto(codice, m_bit);
    while (m_codici[i] != 0 && m_codici[i] != codice)
        i = (i + 1) & (m_codici.size() - 1);
    m_codici[i] = codice;
    m_valori[i] = valore;
}

const Lessico& LessicoLingua(Lingua lingua)
{
    static const Lessico italiano(LessicoItaliano);
    static const Lessico inglese(LessicoInglese);
    return lingua == Lingua::Italiano ? italiano : inglese;
}

}  // namespace varnel
