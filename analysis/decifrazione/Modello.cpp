// SPDX-License-Identifier: GPL-3.0-or-later
#include "Modello.h"

#include <algorithm>
#include <string>
#include <unordered_map>

namespace varnel {

namespace {

// A word in the lexicon weighs this many quadgram steps for each of its own steps: a lexicon step
// is a fifth of a power of ten, a quadgram step a fortieth, and a known word is worth four times its
// log-probability against the quadgrams that spell it.
// (Four times: the best of 1, 2, 3, 4 and 6 on held-out fortunes other than those bench/decifra measures.)
constexpr std::int64_t PesoParola = 4 * QuadrigrammiPerDecade / ParolePerDecade;
// Being a word at all is worth this many lexicon steps (two powers of ten) over an unknown run of
// letters: the best of 0, 3, 6, 10 and 16 on held-out fortunes other than those bench/decifra measures.
constexpr std::int64_t BonusParola = 2 * ParolePerDecade;
// Longer runs of letters are no words of the lexicon.
constexpr std::size_t ParolaMassima = 20;
// Text whose runs of letters are longer than this on average has no word spaces.
constexpr std::size_t ParolaMedia = 12;

// The symbols the solver looks at: at most SimboliRisolutore counted ones.
std::vector<std::uint8_t> Inizio(std::span<const std::uint8_t> sequenza)
{
    std::vector<std::uint8_t> simboli;
    std::size_t contati = 0;
    for (const auto s : sequenza) {
        if (s != Separatore && contati++ == SimboliRisolutore)
            break;
        simboli.push_back(s);
    }
    return simboli;
}

}  // namespace

bool HaParole(std::span<const std::uint8_t> sequenza)
{
    std::vector<std::size_t> lunghezze{0};
    for (const auto s : sequenza) {
        if (s != Separatore)
            ++lunghezze.back();
        else
            lunghezze.push_back(0);
    }
    if (lunghezze.back() == 0)
        lunghezze.pop_back();
    if (lunghezze.size() < 2)
        return false;
    std::size_t lettere = 0;
    for (const auto n : lunghezze)
        lettere += n;
    const bool gruppi = lunghezze.size() >= 4
                        && std::all_of(lunghezze.begin(), lunghezze.end() - 1,
                                       [&](std::size_t n) { return n == lunghezze.front(); });
    return !gruppi && lettere <= ParolaMedia * lunghezze.size();
}

Modello::Modello(std::span<const std::uint8_t> sequenza, Lingua lingua)
    : m_conParole(HaParole(sequenza))
    , m_lettere(Quadrigrammi(lingua))
    , m_confini(QuadrigrammiConfini(lingua))
    , m_lessico(LessicoLingua(lingua))
{
    std::vector<std::uint8_t> simboli;
    if (m_conParole) {
        // A boundary before the first word and after the last, as around each fortune measured.
        simboli.push_back(Confine);
        for (const auto s : Inizio(sequenza))
            simboli.push_back(s);
        if (simboli.back() != Confine)
            simboli.push_back(Confine);
    } else {
        for (const auto s : Inizio(sequenza)) {
            if (s != Separatore)
                simboli.push_back(s);
        }
    }
    std::unordered_map<std::string, std::uint32_t> posto;
    const auto conta = [&](std::span<const std::uint8_t> pezzo, bool parola) {
        std::string nome(1, parola ? 'p' : 'q');
        nome.append(pezzo.begin(), pezzo.end());
        const auto [it, nuovo] = posto.try_emplace(nome, static_cast<std::uint32_t>(m_voci.size()));
        if (nuovo) {
            m_voci.push_back(
                {static_cast<std::uint32_t>(m_simboli.size()), static_cast<std::uint32_t>(pezzo.size()), 0, 0, parola});
            m_simboli.insert(m_simboli.end(), pezzo.begin(), pezzo.end());
        }
        ++m_voci[it->second].peso;
    };
    const std::span<const std::uint8_t> tutti(simboli);
    for (std::size_t i = 0; i + 4 <= tutti.size(); ++i)
        conta(tutti.subspan(i, 4), false);
    for (std::size_t i = 0; m_conParole && i < tutti.size();) {
        std::size_t fine = i;
        while (fine < tutti.size() && tutti[fine] != Confine)
            ++fine;
        if (fine > i && fine - i <= ParolaMassima)
            conta(tutti.subspan(i, fine - i), true);
        i = fine + 1;
    }
    for (std::uint32_t v = 0; v < m_voci.size(); ++v) {
        for (std::uint32_t k = 0; k < m_voci[v].lunghezza; ++k) {
            const auto s = m_simboli[m_voci[v].inizio + k];
            if (s != Confine && (m_conSlot[s].empty() || m_conSlot[s].back() != v))
                m_conSlot[s].push_back(v);
        }
    }
    m_visto.assign(m_voci.size(), 0);
    m_lettera[Confine] = Confine;
}

std::int64_t Modello::valuta(const Voce& voce) const
{
    const auto* s = m_simboli.data() + voce.inizio;
    if (voce.parola) {
        std::uint64_t codice = 0;
        for (std::size_t k = 0; k < voce.lunghezza; ++k)
            codice = CodiceParola(codice, k, m_lettera[s[k]]);
        const std::int64_t valore = m_lessico.valore(codice);
        return valore == 0 ? 0 : PesoParola * (valore + BonusParola);
    }
    if (m_conParole)
        return m_confini[((m_lettera[s[0]] * 27u + m_lettera[s[1]]) * 27u + m_lettera[s[2]]) * 27u + m_lettera[s[3]]];
    return m_lettere[((m_lettera[s[0]] * 26u + m_lettera[s[1]]) * 26u + m_lettera[s[2]]) * 26u + m_lettera[s[3]]];
}

std::int64_t Modello::imposta(const Chiave& chiave)
{
    m_chiave = chiave;
    for (std::size_t s = 0; s < NumeroSlot; ++s)
        m_lettera[s] = chiave[s] >= 'a' && chiave[s] <= 'z' ? static_cast<std::uint8_t>(chiave[s] - 'a') : 0;
    std::int64_t punti = 0;
    for (auto& voce : m_voci) {
        voce.valore = valuta(voce);
        punti += voce.peso * voce.valore;
    }
    m_lavoro += m_voci.size();
    return punti;
}

std::int64_t Modello::scambia(std::size_t i, std::size_t j, bool applica)
{
    if (++m_turno == 0) {
        std::fill(m_visto.begin(), m_visto.end(), 0);
        m_turno = 1;
    }
    std::swap(m_lettera[i], m_lettera[j]);
    std::int64_t differenza = 0;
    for (const auto* lista : {&m_conSlot[i], &m_conSlot[j]}) {
        for (const auto v : *lista) {
            if (m_visto[v] == m_turno)
                continue;
            m_visto[v] = m_turno;
            auto& voce = m_voci[v];
            const std::int64_t nuovo = valuta(voce);
            differenza += voce.peso * (nuovo - voce.valore);
            if (applica)
                voce.valore = nuovo;
            ++m_lavoro;
        }
    }
    if (applica)
        std::swap(m_chiave[i], m_chiave[j]);
    else
        std::swap(m_lettera[i], m_lettera[j]);
    return differenza;
}

}  // namespace varnel
