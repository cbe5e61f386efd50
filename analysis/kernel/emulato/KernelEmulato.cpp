// SPDX-License-Identifier: GPL-3.0-or-later
// The algorithms of Blocchi64.h on plain C++ that does what each AVX-512 instruction of
// KernelAvx512.cpp does, byte for byte, so that the tests run them on any CPU. Built for the
// tests and the fuzzer only.
#include "KernelEmulato.h"

#include "Blocchi64.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>

namespace varnel::dettaglio {

namespace {

struct Emulato {
    using Vettore = std::array<std::uint8_t, 64>;
    using Maschera = std::uint64_t;
    using Distanze = Vettore;
    using TabellaBit = Vettore;
    using Uguaglianza = Maschera;
    using Conteggio = std::uint64_t;
    static constexpr std::size_t BlocchiPerConteggio = std::numeric_limits<std::size_t>::max();

    template <class F>
    static Vettore Ogni(F&& f)
    {
        Vettore r;
        for (std::size_t i = 0; i < 64; ++i)
            r[i] = static_cast<std::uint8_t>(f(i));
        return r;
    }
    template <class F>
    static Maschera Dove(F&& f)
    {
        Maschera m = 0;
        for (std::size_t i = 0; i < 64; ++i)
            m |= Maschera{f(i)} << i;
        return m;
    }
    static bool Bit(Maschera k, std::size_t i) { return (k >> i) & 1; }

    static Vettore Carica(const std::uint8_t* p)
    {
        return Ogni([&](std::size_t i) { return p[i]; });
    }
    static Vettore CaricaParte(const std::uint8_t* p, std::size_t n)
    {
        return Ogni([&](std::size_t i) { return i < n ? p[i] : 0; });
    }
    static Vettore Ripeti(std::uint8_t b)
    {
        return Ogni([&](std::size_t) { return b; });
    }
    static Vettore Tabella(const std::array<std::uint8_t, 64>& t) { return t; }
    static Vettore Tabella16(const std::array<std::uint8_t, 16>& t)
    {
        return Ogni([&](std::size_t i) { return t[i % 16]; });
    }
    static Maschera Uguali(const Vettore& a, const Vettore& b)
    {
        return Dove([&](std::size_t i) { return a[i] == b[i]; });
    }
    static Maschera UgualiDove(Maschera k, const Vettore& a, const Vettore& b) { return k & Uguali(a, b); }
    // vpminub with a mask: the smaller of b[i] and c[i] where k holds, else a[i].
    static Vettore MinimoDove(const Vettore& a, Maschera k, const Vettore& b, const Vettore& c)
    {
        return Ogni([&](std::size_t i) { return Bit(k, i) ? std::min(b[i], c[i]) : a[i]; });
    }
    static Maschera Alti(const Vettore& a)
    {
        return Dove([&](std::size_t i) { return (a[i] & 0x80) != 0; });
    }
    static Maschera Prova(const Vettore& a, const Vettore& b)
    {
        return Dove([&](std::size_t i) { return (a[i] & b[i]) != 0; });
    }
    static Vettore Oppure(const Vettore& a, const Vettore& b)
    {
        return Ogni([&](std::size_t i) { return a[i] | b[i]; });
    }
    static Vettore E(const Vettore& a, const Vettore& b)
    {
        return Ogni([&](std::size_t i) { return a[i] & b[i]; });
    }
    static Vettore Xor(const Vettore& a, const Vettore& b)
    {
        return Ogni([&](std::size_t i) { return a[i] ^ b[i]; });
    }
    static Vettore Meno(const Vettore& a, const Vettore& b)
    {
        return Ogni([&](std::size_t i) { return a[i] - b[i]; });
    }
    static Vettore MenoSaturato(const Vettore& a, const Vettore& b)
    {
        return Ogni([&](std::size_t i) { return a[i] > b[i] ? a[i] - b[i] : 0; });
    }
    static Vettore Massimo(const Vettore& a, const Vettore& b)
    {
        return Ogni([&](std::size_t i) { return std::max(a[i], b[i]); });
    }
    static Vettore NibbleAlti(const Vettore& a)
    {
        return Ogni([&](std::size_t i) { return a[i] >> 4; });
    }
    static Vettore NibbleBassi(const Vettore& a)
    {
        return Ogni([&](std::size_t i) { return a[i] & 15; });
    }
    // vpshufb: within each 16-byte lane, and zero where the index has bit 7.
    static Vettore Cerca16(const Vettore& t, const Vettore& x)
    {
        return Ogni([&](std::size_t i) { return (x[i] & 0x80) != 0 ? 0 : t[(i & ~std::size_t{15}) + (x[i] & 15)]; });
    }
    // vpermb ignores the index's two high bits.
    static Vettore Permuta(const Vettore& t, const Vettore& x)
    {
        return Ogni([&](std::size_t i) { return t[x[i] & 63]; });
    }
    // vpermi2b: bit 6 of the index picks the table, bit 7 is ignored.
    static Vettore Permuta2(const Vettore& a, const Vettore& b, const Vettore& x)
    {
        return Ogni([&](std::size_t i) { return (x[i] & 64) != 0 ? b[x[i] & 63] : a[x[i] & 63]; });
    }
    static Vettore Xor3(const Vettore& a, const Vettore& b, const Vettore& c)
    {
        return Ogni([&](std::size_t i) { return a[i] ^ b[i] ^ c[i]; });
    }
    static Vettore Maggioranza(const Vettore& a, const Vettore& b, const Vettore& c)
    {
        return Ogni([&](std::size_t i) { return (a[i] & b[i]) | (a[i] & c[i]) | (b[i] & c[i]); });
    }
    static Vettore Zero() { return Vettore{}; }
    static Vettore ContaUguali(const Vettore& c, const Vettore& a, const Vettore& b)
    {
        return Ogni([&](std::size_t i) { return a[i] == b[i] ? c[i] + 1 : c[i]; });
    }

    // As KernelAvx512.cpp makes them from the instructions above.
    template <int K>
    static Vettore Precedenti(const Vettore& a, const Vettore& b)
    {
        return Permuta2(a, b, blocchi64::IndiciPrecedenti<K>);
    }
    static Uguaglianza Coincidono(const Vettore& a, const Vettore& b) { return Uguali(a, b); }
    static Uguaglianza CoincidonoAncora(Uguaglianza u, const Vettore& a, const Vettore& b)
    {
        return UgualiDove(u, a, b);
    }
    static Conteggio Accumula(Conteggio c, Uguaglianza u) { return c + static_cast<Conteggio>(std::popcount(u)); }
    static std::uint64_t Totale(Conteggio c) { return c; }
    static Distanze DistanzeDove(Maschera k, const Vettore& d) { return MinimoDove(Ripeti(32), k, d, Ripeti(32)); }
    static TabellaBit TabellaDelGruppo(int g) { return blocchi64::TabelleBit[static_cast<std::size_t>(g)]; }
    static Vettore BitDelGruppo(const TabellaBit& t, const Distanze& d) { return Permuta(t, d); }
};

}  // namespace

Kernel KernelAvx512Emulato() { return blocchi64::KernelDi<Emulato>(); }

}  // namespace varnel::dettaglio
