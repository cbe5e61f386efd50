// SPDX-License-Identifier: GPL-3.0-or-later
// The field machine over blocks of 64 bytes with AVX2.
#include "Kernel.h"

#ifdef VARNEL_X86

#include "RegioneVettoriale.h"

#include <immintrin.h>

#include <algorithm>
#include <array>
#include <cstring>

VARNEL_INIZIO_REGIONE(VARNEL_ISTRUZIONI_AVX2)

#include "Avx2.h"

namespace varnel::dettaglio {

namespace {

using avx2::Carica;
using avx2::Maschera;
using avx2::Somma;

MaschereBlocco Maschere(__m256i a, __m256i b)
{
    const auto dove = [a, b](char c) {
        const __m256i byte = _mm256_set1_epi8(c);
        return Maschera(_mm256_cmpeq_epi8(a, byte), _mm256_cmpeq_epi8(b, byte));
    };
    return {dove(' '), dove('"'), dove(','), dove('\r'), dove('\n')};
}

// What carries from block to block while the common blocks are taken whole.
struct Tratto {
    MacchinaCampi<std::uint8_t> locale;  // a copy whose state the compiler may keep in registers
    std::uint8_t primaDelTratto;         // the byte before the run of common blocks under way
    std::uint64_t spaziAperti;
    bool traVirgolette;
    bool inPari = true;  // whether the state of `locale` is the one before the current block
    std::uint64_t campi = 0, spazi = 0;
    std::array<std::uint64_t, 3> chiusure{};
};

// Brings `locale` past the common blocks that end with `ultimo`. Their commas and CRs were counted
// one byte early, as the bytes before each block.
void Riprendi(Tratto& s, std::uint8_t ultimo)
{
    s.chiusure[0] += static_cast<std::uint64_t>(ultimo == ',') - (s.primaDelTratto == ',');
    s.chiusure[1] += static_cast<std::uint64_t>(ultimo == '\r') - (s.primaDelTratto == '\r');
    s.locale.riprendiDopo(ultimo, s.spaziAperti);
}

// A block with quotes: the machine takes it, from the state that the blocks before it left. Out of
// line, so that the loop over the common blocks stays small.
[[gnu::noinline]] void BloccoLento(Tratto& s, const std::uint8_t* q, __m256i a, __m256i b)
{
    if (!s.inPari)
        Riprendi(s, q[-1]);
    // Through a second copy, so that `locale` never needs an address.
    MacchinaCampi<std::uint8_t> lenta = s.locale;
    lenta.avanzaMaschere(Maschere(a, b), 64);
    s.locale = lenta;
    s.inPari = true;
    s.primaDelTratto = q[63];
    s.spaziAperti = s.locale.spaziAperti();
    s.traVirgolette = s.locale.traVirgolette();
}

// Takes the whole blocks from p. Each is read along with the 64 bytes that start one byte earlier,
// which say where fields start: after a comma, an LF, or a CR with no LF after it. The first block
// is read from `primo`, where the byte that the machine's state stands for precedes it.
std::size_t Blocchi(const std::uint8_t* p, std::size_t n, const std::uint8_t* primo, Tratto& s)
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
            const __m256i a = Carica(q), b = Carica(q + 32);
            const __m256i primaA = Carica(q - 1), primaB = Carica(q + 31);
            const __m256i virgolaA = _mm256_cmpeq_epi8(primaA, virgola), virgolaB = _mm256_cmpeq_epi8(primaB, virgola);
            const __m256i ritornoA = _mm256_cmpeq_epi8(primaA, ritorno), ritornoB = _mm256_cmpeq_epi8(primaB, ritorno);
            const __m256i acapoA = _mm256_cmpeq_epi8(a, acapo), acapoB = _mm256_cmpeq_epi8(b, acapo);
            const __m256i dopoA = _mm256_or_si256(_mm256_or_si256(virgolaA, _mm256_cmpeq_epi8(primaA, acapo)),
                                                  _mm256_andnot_si256(acapoA, ritornoA));
            const __m256i dopoB = _mm256_or_si256(_mm256_or_si256(virgolaB, _mm256_cmpeq_epi8(primaB, acapo)),
                                                  _mm256_andnot_si256(acapoB, ritornoB));
            const std::uint64_t bianchi = Maschera(_mm256_cmpeq_epi8(a, spazio), _mm256_cmpeq_epi8(b, spazio));
            const std::uint64_t virgolette = Maschera(_mm256_cmpeq_epi8(a, virgoletta),
                                                      _mm256_cmpeq_epi8(b, virgoletta));
            if (!traVirgolette
                && BloccoLibero(bianchi, virgolette, Maschera(dopoA, dopoB), spaziAperti, campi, spazi)) {
                inPari = false;
                virgole = _mm256_sub_epi8(virgole, _mm256_add_epi8(virgolaA, virgolaB));
                ritorni = _mm256_sub_epi8(ritorni, _mm256_add_epi8(ritornoA, ritornoB));
                acapi = _mm256_sub_epi8(acapi, _mm256_add_epi8(acapoA, acapoB));
                continue;
            }
            s.spaziAperti = spaziAperti, s.inPari = inPari;
            BloccoLento(s, q, a, b);
            spaziAperti = s.spaziAperti, traVirgolette = s.traVirgolette, inPari = true;
        }
        s.chiusure[0] += Somma(virgole), s.chiusure[1] += Somma(ritorni), s.chiusure[2] += Somma(acapi);
    }
    s.spaziAperti = spaziAperti, s.inPari = inPari;
    s.campi += campi, s.spazi += spazi;
    return i;
}

}  // namespace

void CampiAvx2(const std::uint8_t* p, std::size_t n, MacchinaCampi<std::uint8_t>& macchina)
{
    std::size_t i = 0;
    if (n >= 64) {
        std::uint8_t primo[65];
        primo[0] = macchina.bytePrima();
        std::memcpy(primo + 1, p, 64);
        Tratto s{macchina, primo[0], macchina.spaziAperti(), macchina.traVirgolette()};
        i = Blocchi(p, n, primo + 1, s);
        if (!s.inPari)
            Riprendi(s, p[i - 1]);
        s.locale.aggiungiBlocchi(s.campi, s.spazi, s.chiusure);
        macchina = s.locale;
    }
    if (i < n) {
        // NUL bytes past the end match no special byte.
        alignas(32) std::uint8_t coda[64] = {};
        std::memcpy(coda, p + i, n - i);
        macchina.avanzaMaschere(Maschere(Carica(coda), Carica(coda + 32)), static_cast<unsigned>(n - i));
    }
}

}  // namespace varnel::dettaglio

VARNEL_FINE_REGIONE

#endif
