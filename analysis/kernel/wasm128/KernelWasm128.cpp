// SPDX-License-Identifier: GPL-3.0-or-later
// The WebAssembly SIMD kernels: the algorithms of Blocchi64.h on four 16-byte registers taken as
// one block of 64 bytes, a mask of the block being the four registers' bitmasks side by side.
// Built only into the SIMD module of the browser's core (-msimd128).
#include "Famiglie.h"

#ifdef VARNEL_WASM128

#include "TabelleUtf8.h"

#include <wasm_simd128.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "Blocchi64.h"

namespace varnel::dettaglio {

namespace {

struct Wasm128 {
    struct Vettore {
        v128_t r[4];  // bytes 0 to 15, 16 to 31, 32 to 47, 48 to 63
    };
    using Maschera = std::uint64_t;
    using Distanze = Vettore;
    // Class d of the band looked up at d - spostamento in a 16-byte table whose upper half is zero:
    // wasm's swizzle gives zero for an index from 16 up, which the wrapped-around differences are.
    struct TabellaBit {
        v128_t tabella, spostamento;
    };
    // Matches as bytes of 0xFF, counted in byte lanes, which 255 blocks fill.
    using Uguaglianza = Vettore;
    using Conteggio = Vettore;
    static constexpr std::size_t BlocchiPerConteggio = 255;

    template <class F>
    static Vettore Ogni(F&& f)
    {
        return {{f(0), f(1), f(2), f(3)}};
    }
    template <class F>
    static Maschera Bit(F&& f)
    {
        Maschera m = 0;
        for (int j = 0; j < 4; ++j)
            m |= Maschera{static_cast<std::uint16_t>(wasm_i8x16_bitmask(f(j)))} << (16 * j);
        return m;
    }

    static Vettore Carica(const std::uint8_t* p)
    {
        return Ogni([p](int j) { return wasm_v128_load(p + 16 * j); });
    }
    static Vettore CaricaParte(const std::uint8_t* p, std::size_t n)
    {
        alignas(16) std::uint8_t copia[64] = {};
        std::memcpy(copia, p, n);
        return Carica(copia);
    }
    static Vettore Ripeti(std::uint8_t b)
    {
        const v128_t r = wasm_u8x16_splat(b);
        return {{r, r, r, r}};
    }
    static Vettore Tabella(const std::array<std::uint8_t, 64>& t) { return Carica(t.data()); }
    static Vettore Tabella16(const std::array<std::uint8_t, 16>& t)
    {
        const v128_t r = wasm_v128_load(t.data());
        return {{r, r, r, r}};
    }
    static Maschera Uguali(const Vettore& a, const Vettore& b)
    {
        return Bit([&](int j) { return wasm_i8x16_eq(a.r[j], b.r[j]); });
    }
    static Maschera UgualiDove(Maschera k, const Vettore& a, const Vettore& b) { return k & Uguali(a, b); }
    static Maschera Alti(const Vettore& a)
    {
        return Bit([&](int j) { return a.r[j]; });
    }
    static Maschera Prova(const Vettore& a, const Vettore& b)
    {
        return Bit([&](int j) { return wasm_i8x16_ne(wasm_v128_and(a.r[j], b.r[j]), wasm_i64x2_const(0, 0)); });
    }
    static Vettore Oppure(const Vettore& a, const Vettore& b)
    {
        return Ogni([&](int j) { return wasm_v128_or(a.r[j], b.r[j]); });
    }
    static Vettore E(const Vettore& a, const Vettore& b)
    {
        return Ogni([&](int j) { return wasm_v128_and(a.r[j], b.r[j]); });
    }
    static Vettore Xor(const Vettore& a, const Vettore& b)
    {
        return Ogni([&](int j) { return wasm_v128_xor(a.r[j], b.r[j]); });
    }
    static Vettore Meno(const Vettore& a, const Vettore& b)
    {
        return Ogni([&](int j) { return wasm_i8x16_sub(a.r[j], b.r[j]); });
    }
    static Vettore MenoSaturato(const Vettore& a, const Vettore& b)
    {
        return Ogni([&](int j) { return wasm_u8x16_sub_sat(a.r[j], b.r[j]); });
    }
    static Vettore Massimo(const Vettore& a, const Vettore& b)
    {
        return Ogni([&](int j) { return wasm_u8x16_max(a.r[j], b.r[j]); });
    }
    static Vettore NibbleAlti(const Vettore& a)
    {
        return Ogni([&](int j) { return wasm_u8x16_shr(a.r[j], 4); });
    }
    static Vettore NibbleBassi(const Vettore& a) { return E(a, Ripeti(0x0F)); }
    // Swizzle gives zero from index 16 up; keeping bit 7 and the low nibble makes it pshufb.
    static Vettore Cerca16(const Vettore& t, const Vettore& x)
    {
        const v128_t tieni = wasm_u8x16_splat(0x8F);
        return Ogni([&](int j) { return wasm_i8x16_swizzle(t.r[j], wasm_v128_and(x.r[j], tieni)); });
    }
    template <int K>
    static Vettore Precedenti(const Vettore& prima, const Vettore& v)
    {
        // Each register after the 16 bytes before it, shifted by K.
        const auto dopo = [](v128_t a, v128_t b) {
            return wasm_i8x16_shuffle(a, b, 16 - K, 17 - K, 18 - K, 19 - K, 20 - K, 21 - K, 22 - K, 23 - K, 24 - K,
                                      25 - K, 26 - K, 27 - K, 28 - K, 29 - K, 30 - K, 31 - K);
        };
        return {{dopo(prima.r[3], v.r[0]), dopo(v.r[0], v.r[1]), dopo(v.r[1], v.r[2]), dopo(v.r[2], v.r[3])}};
    }
    static Vettore Xor3(const Vettore& a, const Vettore& b, const Vettore& c) { return Xor(Xor(a, b), c); }
    // Where a and b differ, c decides.
    static Vettore Maggioranza(const Vettore& a, const Vettore& b, const Vettore& c)
    {
        return Ogni([&](int j) { return wasm_v128_bitselect(c.r[j], a.r[j], wasm_v128_xor(a.r[j], b.r[j])); });
    }
    static Vettore Zero() { return Ripeti(0); }
    static Vettore ContaUguali(const Vettore& c, const Vettore& a, const Vettore& b) { return Meno(c, Coincidono(a, b)); }

    static Uguaglianza Coincidono(const Vettore& a, const Vettore& b)
    {
        return Ogni([&](int j) { return wasm_i8x16_eq(a.r[j], b.r[j]); });
    }
    static Uguaglianza CoincidonoAncora(const Uguaglianza& u, const Vettore& a, const Vettore& b)
    {
        return E(u, Coincidono(a, b));
    }
    static Conteggio Accumula(const Conteggio& c, const Uguaglianza& u) { return Meno(c, u); }
    static std::uint64_t Totale(const Conteggio& c)
    {
        std::uint64_t totale = 0;
        for (const v128_t r : c.r) {
            const v128_t coppie = wasm_u16x8_extadd_pairwise_u8x16(r);
            const v128_t quattro = wasm_u32x4_extadd_pairwise_u16x8(coppie);
            totale += std::uint64_t{wasm_u32x4_extract_lane(quattro, 0)} + wasm_u32x4_extract_lane(quattro, 1)
                      + wasm_u32x4_extract_lane(quattro, 2) + wasm_u32x4_extract_lane(quattro, 3);
        }
        return totale;
    }
    // The mask's bits spread over the bytes: each half of a register's 16 bits repeated over
    // eight bytes, then each byte keeps its own bit.
    static Distanze DistanzeDove(Maschera k, const Vettore& d)
    {
        const v128_t trentadue = wasm_u8x16_splat(32);
        const v128_t meta = wasm_i8x16_const(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1);
        const v128_t bit = wasm_u8x16_const(1, 2, 4, 8, 16, 32, 64, 128, 1, 2, 4, 8, 16, 32, 64, 128);
        return Ogni([&](int j) {
            const auto sedici = static_cast<std::uint16_t>(k >> (16 * j));
            const v128_t dentro = wasm_i8x16_swizzle(wasm_i16x8_splat(static_cast<std::int16_t>(sedici)), meta);
            const v128_t scelti = wasm_i8x16_ne(wasm_v128_and(dentro, bit), wasm_i64x2_const(0, 0));
            return wasm_v128_bitselect(wasm_u8x16_min(d.r[j], trentadue), trentadue, scelti);
        });
    }
    static TabellaBit TabellaDelGruppo(int g)
    {
        return {wasm_u8x16_const(1, 2, 4, 8, 16, 32, 64, 128, 0, 0, 0, 0, 0, 0, 0, 0),
                wasm_u8x16_splat(static_cast<std::uint8_t>(8 * g))};
    }
    static Vettore BitDelGruppo(const TabellaBit& t, const Distanze& d)
    {
        return Ogni([&](int j) { return wasm_i8x16_swizzle(t.tabella, wasm_i8x16_sub(d.r[j], t.spostamento)); });
    }
};

}  // namespace

Kernel KernelWasm128() { return blocchi64::KernelDi<Wasm128>(); }

}  // namespace varnel::dettaglio

#endif
