// SPDX-License-Identifier: GPL-3.0-or-later
// The AVX-512 kernels: the algorithms of Blocchi64.h on the AVX-512 instructions. Each primitive
// is one or two instructions; the emulated layer that the tests run must match them exactly.
#include "Famiglie.h"

#ifdef VARNEL_X86

#include "RegioneVettoriale.h"
#include "TabelleUtf8.h"

#include <immintrin.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

VARNEL_INIZIO_REGIONE(VARNEL_ISTRUZIONI_AVX512)

#include "Blocchi64.h"

namespace varnel::dettaglio {

namespace {

struct Avx512 {
    using Vettore = __m512i;
    using Maschera = std::uint64_t;
    // Each byte's distance, 32 for a byte that stands for no class: the tables' bytes 32 to 63
    // are zero, so that the permute needs no mask of its own (the full one keeps GCC from warning
    // about the undefined bytes that the plain form starts from).
    using Distanze = Vettore;
    using TabellaBit = Vettore;
    using Uguaglianza = Maschera;
    using Conteggio = std::uint64_t;
    static constexpr std::size_t BlocchiPerConteggio = std::numeric_limits<std::size_t>::max();

    static Vettore Carica(const std::uint8_t* p) { return _mm512_loadu_si512(p); }
    static Vettore CaricaParte(const std::uint8_t* p, std::size_t n)
    {
        return _mm512_maskz_loadu_epi8(_bzhi_u64(~0ULL, static_cast<unsigned>(n)), p);
    }
    static Vettore Ripeti(std::uint8_t b) { return _mm512_set1_epi8(static_cast<char>(b)); }
    static Vettore Tabella(const std::array<std::uint8_t, 64>& t) { return _mm512_loadu_si512(t.data()); }
    static Vettore Tabella16(const std::array<std::uint8_t, 16>& t)
    {
        // The masked form: GCC warns about the undefined bytes that the plain one starts from.
        return _mm512_maskz_broadcast_i32x4(0xFFFF, _mm_loadu_si128(reinterpret_cast<const __m128i*>(t.data())));
    }
    static Maschera Uguali(Vettore a, Vettore b) { return _mm512_cmpeq_epi8_mask(a, b); }
    static Maschera UgualiDove(Maschera k, Vettore a, Vettore b) { return _mm512_mask_cmpeq_epi8_mask(k, a, b); }
    static Maschera Alti(Vettore a) { return _mm512_movepi8_mask(a); }
    static Maschera Prova(Vettore a, Vettore b) { return _mm512_test_epi8_mask(a, b); }
    static Vettore Oppure(Vettore a, Vettore b) { return _mm512_or_si512(a, b); }
    static Vettore E(Vettore a, Vettore b) { return _mm512_and_si512(a, b); }
    static Vettore Xor(Vettore a, Vettore b) { return _mm512_xor_si512(a, b); }
    static Vettore Meno(Vettore a, Vettore b) { return _mm512_sub_epi8(a, b); }
    static Vettore MenoSaturato(Vettore a, Vettore b) { return _mm512_subs_epu8(a, b); }
    static Vettore Massimo(Vettore a, Vettore b) { return _mm512_max_epu8(a, b); }
    static Vettore NibbleAlti(Vettore a) { return _mm512_and_si512(_mm512_srli_epi16(a, 4), _mm512_set1_epi8(0x0F)); }
    static Vettore NibbleBassi(Vettore a) { return _mm512_and_si512(a, _mm512_set1_epi8(0x0F)); }
    static Vettore Cerca16(Vettore t, Vettore x) { return _mm512_shuffle_epi8(t, x); }
    template <int K>
    static Vettore Precedenti(Vettore a, Vettore b)
    {
        return _mm512_permutex2var_epi8(a, Tabella(blocchi64::IndiciPrecedenti<K>), b);
    }
    static Vettore Xor3(Vettore a, Vettore b, Vettore c) { return _mm512_ternarylogic_epi32(a, b, c, 0x96); }
    static Vettore Maggioranza(Vettore a, Vettore b, Vettore c) { return _mm512_ternarylogic_epi32(a, b, c, 0xE8); }
    static Vettore Zero() { return _mm512_setzero_si512(); }
    static Vettore ContaUguali(Vettore c, Vettore a, Vettore b)
    {
        return _mm512_mask_sub_epi8(c, _mm512_cmpeq_epi8_mask(a, b), c, _mm512_set1_epi8(-1));
    }
    static Uguaglianza Coincidono(Vettore a, Vettore b) { return Uguali(a, b); }
    static Uguaglianza CoincidonoAncora(Uguaglianza u, Vettore a, Vettore b) { return UgualiDove(u, a, b); }
    static Conteggio Accumula(Conteggio c, Uguaglianza u) { return c + static_cast<Conteggio>(std::popcount(u)); }
    static std::uint64_t Totale(Conteggio c) { return c; }
    static Distanze DistanzeDove(Maschera k, Vettore d) { return _mm512_mask_min_epu8(Ripeti(32), k, d, Ripeti(32)); }
    static TabellaBit TabellaDelGruppo(int g) { return Tabella(blocchi64::TabelleBit[static_cast<std::size_t>(g)]); }
    static Vettore BitDelGruppo(TabellaBit t, Distanze d) { return _mm512_maskz_permutexvar_epi8(~0ULL, d, t); }
};

}  // namespace

Kernel KernelAvx512() { return blocchi64::KernelDi<Avx512>(); }

}  // namespace varnel::dettaglio

VARNEL_FINE_REGIONE

#endif
