// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Counting target bytes over blocks of 64 bytes (see Blocchi64.h for the layer B).
//
// Targets in the 32-value band: a byte's distance from the band's start picks one of 32
// classes, and a lookup turns it into one bit of a byte for each group of eight classes.
// Carry-save adders (Harley-Seal) then sum those bits per lane and bit position, in planes of
// weight 1, 2, 4, ..., so that a class costs far less than a compare and a count of its own.
// Targets outside the band are compared one by one.

#include "Kernel.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <iterator>

namespace varnel::dettaglio::blocchi64 {

inline constexpr int Gruppi = 4;
inline constexpr int PerGiro = 32;      // vectors summed into one output of weight 32
inline constexpr int PianiRiporto = 4;  // weights 32 to 256; what overflows them is counted at once

// For the layers that look classes up in 64 bytes: class d of the band as a bit of group d / 8.
inline constexpr std::array<std::array<std::uint8_t, 64>, Gruppi> TabelleBit = [] {
    std::array<std::array<std::uint8_t, 64>, Gruppi> tabelle{};
    for (std::size_t d = 0; d < 8 * Gruppi; ++d)
        tabelle[d / 8][d] = static_cast<std::uint8_t>(1u << (d % 8));
    return tabelle;
}();

template <class B>
class ContatoreFascia {
    using V = typename B::Vettore;

public:
    explicit ContatoreFascia(const Bersagli& bersagli)
        : m_piega(B::Ripeti(bersagli.piega ? 0x20 : 0))
        , m_inizio(B::Ripeti(static_cast<std::uint8_t>(bersagli.fascia)))
        , m_tabelle{B::TabellaDelGruppo(0), B::TabellaDelGruppo(1), B::TabellaDelGruppo(2), B::TabellaDelGruppo(3)}
    {
        for (std::size_t t = 0; t < bersagli.numero; ++t) {
            if (bersagli.inFascia(t))
                m_usato[(bersagli.byte[t] - bersagli.fascia) / 8] = true;
        }
        for (auto& s : m_piani) {
            for (auto& piano : s)
                piano = B::Zero();
        }
    }

    // Takes the bytes of v where `validi` has a bit.
    void aggiungi(V v, std::uint64_t validi)
    {
        m_distanze[m_pronti] = B::DistanzeDove(validi, B::Meno(B::Oppure(v, m_piega), m_inizio));
        if (++m_pronti == PerGiro)
            giro();
    }

    void versa(const Bersagli& bersagli, ContiGrezzi& conti)
    {
        if (m_pronti > 0) {
            for (int j = m_pronti; j < PerGiro; ++j)
                m_distanze[j] = B::DistanzeDove(0, B::Zero());
            giro();
        }
        for (int g = 0; g < Gruppi; ++g) {
            if (!m_usato[g])
                continue;
            for (int k = 0; k < Piani; ++k)
                aggiungiPiano(m_piani[g][k], std::uint64_t{1} << k, m_classi.data() + 8 * g);
        }
        for (std::size_t t = 0; t < bersagli.numero; ++t) {
            if (bersagli.inFascia(t))
                conti.perBersaglio[t] += m_classi[static_cast<std::size_t>(bersagli.byte[t] - bersagli.fascia)];
        }
    }

private:
    static constexpr int Piani = 5 + PianiRiporto;  // weights 1 to 256

    static void Csa(V& alto, V& basso, V a, V b)
    {
        alto = B::Maggioranza(basso, a, b);
        basso = B::Xor3(basso, a, b);
    }

    // Adds to each class of a group the bits of `piano`, each worth `peso`.
    static void aggiungiPiano(V piano, std::uint64_t peso, std::uint64_t* classi)
    {
        if (B::Prova(piano, piano) == 0)
            return;  // short slices leave most planes empty
        for (int k = 0; k < 8; ++k)
            classi[k] += peso
                         * static_cast<std::uint64_t>(
                             std::popcount(B::Prova(piano, B::Ripeti(static_cast<std::uint8_t>(1u << k)))));
    }

    V bit(int g, int j) const { return B::BitDelGruppo(m_tabelle[g], m_distanze[j]); }

    // Sums sixteen lookups of group g from vector `da` into the planes of weight 1 to 8 and
    // returns what reaches weight 16.
    V sedici(int g, int da, V* s) const
    {
        V quattro[2], otto[2], sedici;
        for (int h = 0; h < 2; ++h) {
            for (int q = 0; q < 2; ++q) {
                const int j = da + 8 * h + 4 * q;
                V dueA, dueB;
                Csa(dueA, s[0], bit(g, j), bit(g, j + 1));
                Csa(dueB, s[0], bit(g, j + 2), bit(g, j + 3));
                Csa(quattro[q], s[1], dueA, dueB);
            }
            Csa(otto[h], s[2], quattro[0], quattro[1]);
        }
        Csa(sedici, s[3], otto[0], otto[1]);
        return sedici;
    }

    void giro()
    {
        for (int g = 0; g < Gruppi; ++g) {
            if (!m_usato[g])
                continue;
            // A copy, which the compiler may keep in registers: it cannot tell the planes from
            // the lookups' memory.
            V s[Piani];
            std::copy(std::begin(m_piani[g]), std::end(m_piani[g]), s);
            const V sediciA = sedici(g, 0, s);
            const V sediciB = sedici(g, 16, s);
            V trentadue;
            Csa(trentadue, s[4], sediciA, sediciB);
            // Ripple the weight-32 output through the carry planes; what leaves the last is rare
            // enough to count on the spot.
            for (int k = 5; k < Piani; ++k) {
                const V oltre = B::E(s[k], trentadue);
                s[k] = B::Xor(s[k], trentadue);
                trentadue = oltre;
            }
            std::copy(std::begin(s), std::end(s), m_piani[g]);
            aggiungiPiano(trentadue, std::uint64_t{1} << Piani, m_classi.data() + 8 * g);
        }
        m_pronti = 0;
    }

    V m_piega, m_inizio;
    typename B::TabellaBit m_tabelle[Gruppi];
    bool m_usato[Gruppi] = {};
    V m_piani[Gruppi][Piani];
    std::array<std::uint64_t, 8 * Gruppi> m_classi{};
    typename B::Distanze m_distanze[PerGiro];
    int m_pronti = 0;
};

template <class B>
void ContaFuori(typename B::Vettore v, std::uint64_t validi, const Bersagli& bersagli, ContiGrezzi& conti)
{
    const auto piegato = B::Oppure(v, B::Ripeti(bersagli.piega ? 0x20 : 0));
    for (std::size_t k = 0; k < bersagli.numeroFuori; ++k) {
        const std::size_t t = bersagli.fuori[k];
        conti.perBersaglio[t] += static_cast<std::uint64_t>(
            std::popcount(B::UgualiDove(validi, piegato, B::Ripeti(bersagli.byte[t]))));
    }
}

// The targets outside the band over the whole blocks of p, one at a time, so that its count
// stays in a register.
template <class B>
void ContaFuoriInBlocchi(const std::uint8_t* p, std::size_t n, const Bersagli& bersagli, ContiGrezzi& conti)
{
    const auto piega = B::Ripeti(bersagli.piega ? 0x20 : 0);
    for (std::size_t k = 0; k < bersagli.numeroFuori; ++k) {
        const std::size_t t = bersagli.fuori[k];
        const auto byte = B::Ripeti(bersagli.byte[t]);
        std::uint64_t conto = 0;
        for (std::size_t i = 0; n - i >= 64;) {
            const std::size_t fino = i + 64 * std::min((n - i) / 64, B::BlocchiPerConteggio);
            typename B::Conteggio parziale{};
            for (; i < fino; i += 64)
                parziale = B::Accumula(parziale, B::Coincidono(B::Oppure(B::Carica(p + i), piega), byte));
            conto += B::Totale(parziale);
        }
        conti.perBersaglio[t] += conto;
    }
}

template <class B>
void Conta(const std::uint8_t* p, std::size_t n, const Bersagli& bersagli, ContiGrezzi& conti)
{
    const bool fascia = bersagli.fascia >= 0;
    ContatoreFascia<B> contatore(bersagli);
    const std::size_t i = n / 64 * 64;
    if (fascia) {
        for (std::size_t j = 0; j < i; j += 64)
            contatore.aggiungi(B::Carica(p + j), ~std::uint64_t{0});
    }
    ContaFuoriInBlocchi<B>(p, i, bersagli, conti);
    if (i < n) {
        // The zero bytes past the end are no target.
        const auto v = B::CaricaParte(p + i, n - i);
        const std::uint64_t validi = (std::uint64_t{1} << (n - i)) - 1;
        if (fascia)
            contatore.aggiungi(v, validi);
        ContaFuori<B>(v, validi, bersagli, conti);
    }
    if (fascia)
        contatore.versa(bersagli, conti);
}

}  // namespace varnel::dettaglio::blocchi64
