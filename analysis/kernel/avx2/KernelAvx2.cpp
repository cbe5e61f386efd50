// SPDX-License-Identifier: GPL-3.0-or-later
// The AVX2 kernels: the UTF-8 check and the counting of encodings above ASCII of Blocchi64.h on two
// 32-byte registers taken as one block of 64 bytes, a mask of the block being the two registers'
// movemasks side by side; the field machine in a form of its own; counting in KernelAvx2Conta.cpp.
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

// ---- The field machine in the form written for AVX2, faster here than Blocchi64Campi.h: each
// block is read along with the 64 bytes that start one byte earlier, which say where fields start
// (after a comma, an LF, or a CR with no LF after it) without shifting masks, and the common
// blocks count their delimiters in byte lanes.

// What carries from block to block while the common blocks are taken whole.
struct Corsa {
    MacchinaCampi<std::uint8_t> locale;  // a copy whose state the compiler may keep in registers
    std::uint8_t primaDellaCorsa;        // the byte before the run of common blocks under way
    std::uint64_t spaziAperti;
    bool traVirgolette;
    bool inPari = true;  // whether the state of `locale` is the one before the current block
    std::uint64_t campi = 0, spazi = 0;
    std::array<std::uint64_t, 3> chiusure{};
};

// Brings `locale` past the common blocks that end with `ultimo`. Their commas and CRs were counted
// one byte early, as the bytes before each block.
void Riprendi(Corsa& s, std::uint8_t ultimo)
{
    s.chiusure[0] += static_cast<std::uint64_t>(ultimo == ',') - (s.primaDellaCorsa == ',');
    s.chiusure[1] += static_cast<std::uint64_t>(ultimo == '\r') - (s.primaDellaCorsa == '\r');
    s.locale.riprendiDopo(ultimo, s.spaziAperti);
}

// A block with quotes: the machine takes it, from the state that the blocks before it left. Out of
// line, so that the loop over the common blocks stays small.
[[gnu::noinline]] void BloccoLento(Corsa& s, const std::uint8_t* q, const Avx2::Vettore& v)
{
    if (!s.inPari)
        Riprendi(s, q[-1]);
    // Through a second copy, so that `locale` never needs an address.
    MacchinaCampi<std::uint8_t> lenta = s.locale;
    lenta.avanzaMaschere(blocchi64::Maschere<Avx2>(v), 64);
    s.locale = lenta;
    s.inPari = true;
    s.primaDellaCorsa = q[63];
    s.spaziAperti = s.locale.spaziAperti();
    s.traVirgolette = s.locale.traVirgolette();
}

// Takes the whole blocks from p. The first is read from `primo`, where the byte that the machine's
// state stands for precedes it.
std::size_t BlocchiCampi(const std::uint8_t* p, std::size_t n, const std::uint8_t* primo, Corsa& s)
{
    const __m256i spazio = _mm256_set1_epi8(' '), virgoletta = _mm256_set1_epi8('"');
    const __m256i virgola = _mm256_set1_epi8(','), ritorno = _mm256_set1_epi8('\r'), acapo = _mm256_set1_epi8('\n');
    // Copies of what every block changes, which the compiler may keep in registers.
    std::uint64_t spaziAperti = s.spaziAperti, campi = 0, spazi = 0;
    bool traVirgolette = s.traVirgolette, inPari = s.inPari;
    std::size_t i = 0;
    while (n - i >= 64) {
        // Common blocks count their delimiters in byte lanes, two at most per block.
        const std::size_t finoA = i + 64 * std::min<std::size_t>((n - i) / 64, 127);
        __m256i virgole = _mm256_setzero_si256(), ritorni = _mm256_setzero_si256(), acapi = _mm256_setzero_si256();
        for (; i < finoA; i += 64) {
            const std::uint8_t* q = i == 0 ? primo : p + i;
            const __m256i a = Avx2::Carica32(q), b = Avx2::Carica32(q + 32);
            const __m256i primaA = Avx2::Carica32(q - 1), primaB = Avx2::Carica32(q + 31);
            const __m256i virgolaA = _mm256_cmpeq_epi8(primaA, virgola), virgolaB = _mm256_cmpeq_epi8(primaB, virgola);
            const __m256i ritornoA = _mm256_cmpeq_epi8(primaA, ritorno), ritornoB = _mm256_cmpeq_epi8(primaB, ritorno);
            const __m256i acapoA = _mm256_cmpeq_epi8(a, acapo), acapoB = _mm256_cmpeq_epi8(b, acapo);
            const __m256i dopoA = _mm256_or_si256(_mm256_or_si256(virgolaA, _mm256_cmpeq_epi8(primaA, acapo)),
                                                  _mm256_andnot_si256(acapoA, ritornoA));
            const __m256i dopoB = _mm256_or_si256(_mm256_or_si256(virgolaB, _mm256_cmpeq_epi8(primaB, acapo)),
                                                  _mm256_andnot_si256(acapoB, ritornoB));
            const std::uint64_t bianchi = Avx2::Bit(_mm256_cmpeq_epi8(a, spazio), _mm256_cmpeq_epi8(b, spazio));
            const std::uint64_t virgolette = Avx2::Bit(_mm256_cmpeq_epi8(a, virgoletta),
                                                       _mm256_cmpeq_epi8(b, virgoletta));
            if (!traVirgolette
                && BloccoLibero(bianchi, virgolette, Avx2::Bit(dopoA, dopoB), spaziAperti, campi, spazi)) {
                inPari = false;
                virgole = _mm256_sub_epi8(virgole, _mm256_add_epi8(virgolaA, virgolaB));
                ritorni = _mm256_sub_epi8(ritorni, _mm256_add_epi8(ritornoA, ritornoB));
                acapi = _mm256_sub_epi8(acapi, _mm256_add_epi8(acapoA, acapoB));
                continue;
            }
            s.spaziAperti = spaziAperti, s.inPari = inPari;
            BloccoLento(s, q, {a, b});
            spaziAperti = s.spaziAperti, traVirgolette = s.traVirgolette, inPari = true;
        }
        s.chiusure[0] += Avx2::Somma(virgole), s.chiusure[1] += Avx2::Somma(ritorni),
            s.chiusure[2] += Avx2::Somma(acapi);
    }
    s.spaziAperti = spaziAperti, s.inPari = inPari;
    s.campi += campi, s.spazi += spazi;
    return i;
}

void CampiAvx2(const std::uint8_t* p, std::size_t n, MacchinaCampi<std::uint8_t>& macchina)
{
    std::size_t i = 0;
    if (n >= 64) {
        std::uint8_t primo[65];
        primo[0] = macchina.bytePrima();
        std::memcpy(primo + 1, p, 64);
        Corsa s{macchina, primo[0], macchina.spaziAperti(), macchina.traVirgolette()};
        i = BlocchiCampi(p, n, primo + 1, s);
        if (!s.inPari)
            Riprendi(s, p[i - 1]);
        s.locale.aggiungiBlocchi(s.campi, s.spazi, s.chiusure);
        macchina = s.locale;
    }
    if (i < n) {
        // The zero bytes past the end match no special byte.
        macchina.avanzaMaschere(blocchi64::Maschere<Avx2>(Avx2::CaricaParte(p + i, n - i)),
                                static_cast<unsigned>(n - i));
    }
}

}  // namespace

Kernel KernelAvx2() { return {ContaAvx2, CampiAvx2, blocchi64::ValidaUtf8<Avx2>, blocchi64::ContaSequenze<Avx2>}; }

}  // namespace varnel::dettaglio

VARNEL_FINE_REGIONE

#endif
