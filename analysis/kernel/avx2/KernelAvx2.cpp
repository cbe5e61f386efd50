// SPDX-License-Identifier: GPL-3.0-or-later
// The AVX2 kernels: the field reader, the UTF-8 check and the counting of encodings above ASCII of
// Blocchi64.h on two 32-byte registers taken as one block of 64 bytes, a mask of the block being the
// two registers' movemasks side by side; counting in KernelAvx2Conta.cpp.
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

VARNEL_INIZIO_REGIONE(VARNEL_ISTRUZIONI_AVX2)

#include "Blocchi64.h"

namespace varnel::dettaglio {

namespace {

struct Avx2 {
    struct Vettore {
        __m256i basso, alto;  // bytes 0 to 31, 32 to 63
    };
    using Maschera = std::uint64_t;

    // Matches as bytes of 0xFF, counted in byte lanes, which 255 blocks fill.
    using Uguaglianza = Vettore;
    using Conteggio = Vettore;
    static constexpr std::size_t BlocchiPerConteggio = 255;

    static __m256i Carica32(const std::uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
    static Maschera Bit(__m256i basso, __m256i alto)
    {
        return static_cast<std::uint32_t>(_mm256_movemask_epi8(basso))
               | (std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(alto))} << 32);
    }
    // The sum of the 32 bytes.
    static std::uint64_t Somma(__m256i byte)
    {
        const __m256i somme = _mm256_sad_epu8(byte, _mm256_setzero_si256());
        return static_cast<std::uint64_t>(_mm256_extract_epi64(somme, 0))
               + static_cast<std::uint64_t>(_mm256_extract_epi64(somme, 1))
               + static_cast<std::uint64_t>(_mm256_extract_epi64(somme, 2))
               + static_cast<std::uint64_t>(_mm256_extract_epi64(somme, 3));
    }
    static Vettore Carica(const std::uint8_t* p) { return {Carica32(p), Carica32(p + 32)}; }
    static Vettore CaricaParte(const std::uint8_t* p, std::size_t n)
    {
        alignas(32) std::uint8_t copia[64] = {};
        std::memcpy(copia, p, n);
        return Carica(copia);
    }
    static Vettore Ripeti(std::uint8_t b)
    {
        const __m256i r = _mm256_set1_epi8(static_cast<char>(b));
        return {r, r};
    }
    static Vettore Tabella(const std::array<std::uint8_t, 64>& t) { return Carica(t.data()); }
    static Vettore Tabella16(const std::array<std::uint8_t, 16>& t)
    {
        const __m256i r = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(t.data())));
        return {r, r};
    }
    static Maschera Uguali(const Vettore& a, const Vettore& b)
    {
        return Bit(_mm256_cmpeq_epi8(a.basso, b.basso), _mm256_cmpeq_epi8(a.alto, b.alto));
    }
    static Maschera UgualiDove(Maschera k, const Vettore& a, const Vettore& b) { return k & Uguali(a, b); }
    static Maschera Alti(const Vettore& a) { return Bit(a.basso, a.alto); }
    static Maschera Prova(const Vettore& a, const Vettore& b)
    {
        const __m256i zero = _mm256_setzero_si256();
        return ~Bit(_mm256_cmpeq_epi8(_mm256_and_si256(a.basso, b.basso), zero),
                    _mm256_cmpeq_epi8(_mm256_and_si256(a.alto, b.alto), zero));
    }
    static Vettore Oppure(const Vettore& a, const Vettore& b)
    {
        return {_mm256_or_si256(a.basso, b.basso), _mm256_or_si256(a.alto, b.alto)};
    }
    static Vettore E(const Vettore& a, const Vettore& b)
    {
        return {_mm256_and_si256(a.basso, b.basso), _mm256_and_si256(a.alto, b.alto)};
    }
    static Vettore Xor(const Vettore& a, const Vettore& b)
    {
        return {_mm256_xor_si256(a.basso, b.basso), _mm256_xor_si256(a.alto, b.alto)};
    }
    static Vettore Meno(const Vettore& a, const Vettore& b)
    {
        return {_mm256_sub_epi8(a.basso, b.basso), _mm256_sub_epi8(a.alto, b.alto)};
    }
    static Vettore MenoSaturato(const Vettore& a, const Vettore& b)
    {
        return {_mm256_subs_epu8(a.basso, b.basso), _mm256_subs_epu8(a.alto, b.alto)};
    }
    static Vettore Massimo(const Vettore& a, const Vettore& b)
    {
        return {_mm256_max_epu8(a.basso, b.basso), _mm256_max_epu8(a.alto, b.alto)};
    }
    static Vettore NibbleAlti(const Vettore& a)
    {
        return NibbleBassi({_mm256_srli_epi16(a.basso, 4), _mm256_srli_epi16(a.alto, 4)});
    }
    static Vettore NibbleBassi(const Vettore& a) { return E(a, Ripeti(0x0F)); }
    static Vettore Cerca16(const Vettore& t, const Vettore& x)
    {
        return {_mm256_shuffle_epi8(t.basso, x.basso), _mm256_shuffle_epi8(t.alto, x.alto)};
    }
    template <int K>
    static Vettore Precedenti(const Vettore& prima, const Vettore& v)
    {
        // Each register after the 16 bytes before it, shifted by K within each 16-byte lane.
        const __m256i primaBasso = _mm256_permute2x128_si256(prima.alto, v.basso, 0x21);
        const __m256i primaAlto = _mm256_permute2x128_si256(v.basso, v.alto, 0x21);
        return {_mm256_alignr_epi8(v.basso, primaBasso, 16 - K), _mm256_alignr_epi8(v.alto, primaAlto, 16 - K)};
    }
    static Vettore Zero() { return {_mm256_setzero_si256(), _mm256_setzero_si256()}; }
    static Vettore ContaUguali(const Vettore& c, const Vettore& a, const Vettore& b)
    {
        return Meno(c, {_mm256_cmpeq_epi8(a.basso, b.basso), _mm256_cmpeq_epi8(a.alto, b.alto)});
    }

    static Uguaglianza Coincidono(const Vettore& a, const Vettore& b)
    {
        return {_mm256_cmpeq_epi8(a.basso, b.basso), _mm256_cmpeq_epi8(a.alto, b.alto)};
    }
    static Uguaglianza CoincidonoAncora(const Uguaglianza& u, const Vettore& a, const Vettore& b)
    {
        return E(u, Coincidono(a, b));
    }
    static Conteggio Accumula(const Conteggio& c, const Uguaglianza& u) { return Meno(c, u); }
    static std::uint64_t Totale(const Conteggio& c) { return Somma(c.basso) + Somma(c.alto); }
};

}  // namespace

Kernel KernelAvx2()
{
    return {ContaAvx2, blocchi64::Campi<Avx2>, blocchi64::ValidaUtf8<Avx2>, blocchi64::ContaSequenze<Avx2>};
}

}  // namespace varnel::dettaglio

VARNEL_FINE_REGIONE

#endif
