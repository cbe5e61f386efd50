// SPDX-License-Identifier: GPL-3.0-or-later
// The key proposed for a language: hill climbing over whole keys scored by quadgrams.
#include "Cifrario.h"
#include "TabelleLingue.h"

#include <algorithm>
#include <random>
#include <unordered_map>

namespace varnel {

namespace {

// The cipher's distinct quadgrams, how often each occurs, and which contain each slot: a swap of
// two letters rescores only the quadgrams of their two slots.
class Quadrigrammi4 {
public:
    explicit Quadrigrammi4(std::span<const std::uint8_t> simboli)
    {
        std::unordered_map<std::uint32_t, std::size_t> posto;
        for (std::size_t i = 0; i + 4 <= simboli.size(); ++i) {
            std::uint32_t codice = 0;
            for (std::size_t k = 0; k < 4; ++k)
                codice = codice * 32 + simboli[i + k];
            const auto [it, nuovo] = posto.try_emplace(codice, m_slot.size());
            if (nuovo) {
                m_slot.push_back({simboli[i], simboli[i + 1], simboli[i + 2], simboli[i + 3]});
                m_peso.push_back(0);
            }
            ++m_peso[it->second];
        }
        for (std::size_t q = 0; q < m_slot.size(); ++q) {
            for (std::size_t k = 0; k < 4; ++k) {
                auto& lista = m_conQuesto[m_slot[q][k]];
                if (lista.empty() || lista.back() != q)
                    lista.push_back(q);
            }
        }
    }

    [[nodiscard]] std::size_t numero() const { return m_slot.size(); }
    [[nodiscard]] const std::array<std::uint8_t, 4>& slot(std::size_t q) const { return m_slot[q]; }
    [[nodiscard]] std::int64_t peso(std::size_t q) const { return m_peso[q]; }
    [[nodiscard]] const std::vector<std::size_t>& conSlot(std::size_t s) const { return m_conQuesto[s]; }

private:
    std::vector<std::array<std::uint8_t, 4>> m_slot;
    std::vector<std::int64_t> m_peso;
    std::array<std::vector<std::size_t>, NumeroSlot> m_conQuesto;
};

class Scalata {
public:
    Scalata(const Quadrigrammi4& quadrigrammi, const TabellaQuadrigrammi& tabella)
        : m_q(quadrigrammi)
        , m_tabella(tabella)
        , m_valore(quadrigrammi.numero())
    {
    }

    // Climbs from `chiave` until no swap of two letters scores higher; returns the score.
    std::int64_t sali(Chiave& chiave)
    {
        m_chiave = chiave;
        std::int64_t punti = 0;
        for (std::size_t q = 0; q < m_q.numero(); ++q) {
            m_valore[q] = valore(q);
            punti += m_q.peso(q) * m_valore[q];
        }
        for (bool meglio = true; meglio;) {
            meglio = false;
            for (std::size_t i = 0; i < NumeroSlot; ++i) {
                for (std::size_t j = i + 1; j < NumeroSlot; ++j) {
                    if (m_q.conSlot(i).empty() && m_q.conSlot(j).empty())
                        continue;
                    std::swap(m_chiave[i], m_chiave[j]);
                    const std::int64_t differenza = cambio(i, j, false);
                    if (differenza > 0) {
                        cambio(i, j, true);
                        punti += differenza;
                        meglio = true;
                    } else {
                        std::swap(m_chiave[i], m_chiave[j]);
                    }
                }
            }
        }
        chiave = m_chiave;
        return punti;
    }

private:
    [[nodiscard]] std::int64_t valore(std::size_t q) const
    {
        std::size_t indice = 0;
        for (const auto s : m_q.slot(q))
            indice = indice * 26 + static_cast<std::size_t>(m_chiave[s] - 'a');
        return m_tabella[indice];
    }

    // The score's change over the quadgrams holding slot i or j, kept when `applica`.
    std::int64_t cambio(std::size_t i, std::size_t j, bool applica)
    {
        std::int64_t differenza = 0;
        const auto conta = [&](std::size_t q) {
            const std::int64_t nuovo = valore(q);
            differenza += m_q.peso(q) * (nuovo - m_valore[q]);
            if (applica)
                m_valore[q] = nuovo;
        };
        for (const std::size_t q : m_q.conSlot(i))
            conta(q);
        for (const std::size_t q : m_q.conSlot(j)) {
            if (std::ranges::find(m_q.slot(q), static_cast<std::uint8_t>(i)) == m_q.slot(q).end())
                conta(q);
        }
        return differenza;
    }

    const Quadrigrammi4& m_q;
    const TabellaQuadrigrammi& m_tabella;
    std::vector<std::int64_t> m_valore;
    Chiave m_chiave{};
};

// Restarts end once this many in a row found nothing better.
constexpr std::size_t Pazienza = 300;

// Restarts: many for a short text, whose score has many false peaks; few for a long one, whose
// frequency key is already close and each climb costs more.
[[nodiscard]] std::size_t Ripartenze(std::size_t quadrigrammi)
{
    return std::clamp<std::size_t>(400'000 / (quadrigrammi + 1), 20, 2'000);
}

}  // namespace

std::int64_t PunteggioChiave(std::span<const std::uint8_t> sequenza, const Chiave& chiave, Lingua lingua)
{
    std::vector<std::uint8_t> simboli;
    for (const auto s : sequenza) {
        if (simboli.size() == SimboliRisolutore)
            break;
        if (s != Separatore)
            simboli.push_back(s);
    }
    const auto& tabella = Quadrigrammi(lingua);
    std::int64_t punti = 0;
    for (std::size_t i = 0; i + 4 <= simboli.size(); ++i) {
        std::size_t indice = 0;
        for (std::size_t k = 0; k < 4; ++k)
            indice = indice * 26 + static_cast<std::size_t>(chiave[simboli[i + k]] - 'a');
        punti += tabella[indice];
    }
    return punti;
}

Esito<Chiave> ProponiChiave(std::span<const std::uint8_t> sequenza, const Conteggi& conteggi, Lingua lingua,
                            Avanzamento& avanzamento)
{
    std::vector<std::uint8_t> simboli;
    for (const auto s : sequenza) {
        if (simboli.size() == SimboliRisolutore)
            break;
        if (s != Separatore)
            simboli.push_back(s);
    }
    Chiave migliore = ChiavePerFrequenza(conteggi, lingua);
    const Quadrigrammi4 quadrigrammi(simboli);
    if (quadrigrammi.numero() == 0)
        return migliore;
    Scalata scalata(quadrigrammi, Quadrigrammi(lingua));
    std::int64_t punti = scalata.sali(migliore);

    const std::size_t ripartenze = Ripartenze(quadrigrammi.numero());
    avanzamento.fissaDimensione(ripartenze);
    std::mt19937 caso(19);  // a fixed seed: the same text always gives the same key
    std::size_t ultimo = 0;
    for (std::size_t r = 0; r < ripartenze && r - ultimo < Pazienza; ++r) {
        if (avanzamento.annullata())
            return Errore{Motivo::Annullata, {}};
        Chiave chiave = migliore;
        // Each restart shakes the best key so far by a few swaps, more as the restarts go on.
        const std::size_t scosse = 3 + r % 12;
        for (std::size_t k = 0; k < scosse; ++k)
            std::swap(chiave[caso() % NumeroSlot], chiave[caso() % NumeroSlot]);
        const std::int64_t nuovi = scalata.sali(chiave);
        if (nuovi > punti) {
            punti = nuovi;
            migliore = chiave;
            ultimo = r;
        }
        avanzamento.aggiungi(1);
    }
    return migliore;
}

}  // namespace varnel
