// SPDX-License-Identifier: GPL-3.0-or-later
// Counting target bytes with AVX2, in a form of its own: faster here than Blocchi64Conta.h over
// pairs of registers, whose planes the 16 registers of AVX2 cannot hold.
#include "Famiglie.h"

#ifdef VARNEL_X86

#include "RegioneVettoriale.h"

#include <immintrin.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

VARNEL_INIZIO_REGIONE(VARNEL_ISTRUZIONI_AVX2)

namespace varnel::dettaglio {

namespace {

__m256i Carica(const std::uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }

// The sum of the 32 bytes.
std::uint64_t Somma(__m256i byte)
{
    const __m256i somme = _mm256_sad_epu8(byte, _mm256_setzero_si256());
    return static_cast<std::uint64_t>(_mm256_extract_epi64(somme, 0))
           + static_cast<std::uint64_t>(_mm256_extract_epi64(somme, 1))
           + static_cast<std::uint64_t>(_mm256_extract_epi64(somme, 2))
           + static_cast<std::uint64_t>(_mm256_extract_epi64(somme, 3));
}

// ---- Counting by comparison, for the targets outside the 32-value band.

// Eight vectors (256 bytes, four blocks: a quadruple) are compared per target at a time; byte lanes
// gather at most 8 per quadruple, so 31 quadruples fit before they would overflow 255.
constexpr std::size_t Quadruplo = 256;
constexpr std::size_t QuadrupliPerGiro = 31;

std::size_t ContaConfrontando(const std::uint8_t* p, std::size_t n, const Bersagli& bersagli, ContiGrezzi& conti)
{
    const __m256i piega = _mm256_set1_epi8(bersagli.piega ? 0x20 : 0);
    std::size_t i = 0;
    while (n - i >= Quadruplo) {
        const std::size_t quadrupli = std::min((n - i) / Quadruplo, QuadrupliPerGiro);
        __m256i accumuli[NumeroSlot];
        for (std::size_t k = 0; k < bersagli.numeroFuori; ++k)
            accumuli[k] = _mm256_setzero_si256();
        for (std::size_t b = 0; b < quadrupli; ++b, i += Quadruplo) {
            __m256i v[8];
            for (int j = 0; j < 8; ++j)
                v[j] = _mm256_or_si256(Carica(p + i + 32 * j), piega);
            for (std::size_t k = 0; k < bersagli.numeroFuori; ++k) {
                const __m256i bersaglio = _mm256_set1_epi8(static_cast<char>(bersagli.byte[bersagli.fuori[k]]));
                __m256i uguali = _mm256_cmpeq_epi8(v[0], bersaglio);
                for (int j = 1; j < 8; ++j)
                    uguali = _mm256_add_epi8(uguali, _mm256_cmpeq_epi8(v[j], bersaglio));
                accumuli[k] = _mm256_sub_epi8(accumuli[k], uguali);
            }
        }
        for (std::size_t k = 0; k < bersagli.numeroFuori; ++k)
            conti.perBersaglio[bersagli.fuori[k]] += Somma(accumuli[k]);
    }
    return i;
}

// ---- Counting through a 32-value band.
//
// A byte's distance from the band's start picks one of 32 classes; a table lookup turns it into
// one bit of a byte for each group of eight classes. Carry-save adders (Harley-Seal) then sum those
// bits per lane and per bit position, in planes of weight 1, 2, 4, ..., so that a class costs far
// less than the compare and the add that counting it alone would.

constexpr int Gruppi = 4;
constexpr int PerGiro = 32;      // vectors summed into one output of weight 32
constexpr int PianiRiporto = 4;  // weights 32 to 256; what overflows them is counted at once

struct Piani {
    __m256i uno, due, quattro, otto, sedici;
    __m256i riporto[PianiRiporto];
};

inline void Csa(__m256i& alto, __m256i& basso, __m256i a, __m256i b)
{
    const __m256i u = _mm256_xor_si256(basso, a);
    alto = _mm256_or_si256(_mm256_and_si256(basso, a), _mm256_and_si256(u, b));
    basso = _mm256_xor_si256(u, b);
}

// Adds to each class of the group the bits of `piano`, each worth `peso`: shifted left, the bit of
// class k stands in the place that movemask reads.
inline void Versa(__m256i piano, std::uint64_t peso, std::uint64_t* classi)
{
    for (int k = 0; k < 8; ++k) {
        const auto bit = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_slli_epi16(piano, 7 - k)));
        classi[k] += peso * static_cast<std::uint64_t>(__builtin_popcount(bit));
    }
}

// Sums eight lookups into the planes of weight 1 to 4 and returns what reaches weight 8. Each
// lookup is made as it is needed: all of them at once would not fit in the registers.
inline __m256i Otto(__m256i& uno, __m256i& due, __m256i& quattro, const __m256i* indici, __m256i tabella)
{
    const auto x = [indici, tabella](int j) { return _mm256_shuffle_epi8(tabella, indici[j]); };
    __m256i dueA, dueB, quattroA, quattroB, otto;
    Csa(dueA, uno, x(0), x(1));
    Csa(dueB, uno, x(2), x(3));
    Csa(quattroA, due, dueA, dueB);
    Csa(dueA, uno, x(4), x(5));
    Csa(dueB, uno, x(6), x(7));
    Csa(quattroB, due, dueA, dueB);
    Csa(otto, quattro, quattroA, quattroB);
    return otto;
}

// Sums sixteen lookups into the planes of weight 1 to 8 and returns what reaches weight 16.
inline __m256i Sedici(__m256i& uno, __m256i& due, __m256i& quattro, __m256i& otto, const __m256i* indici,
                      __m256i tabella)
{
    const __m256i ottoA = Otto(uno, due, quattro, indici, tabella);
    const __m256i ottoB = Otto(uno, due, quattro, indici + 8, tabella);
    __m256i sedici;
    Csa(sedici, otto, ottoA, ottoB);
    return sedici;
}

// Sums PerGiro lookups of one group into its planes.
inline void Giro(Piani& s, const __m256i* indici, __m256i tabella, std::uint64_t* classi)
{
    __m256i uno = s.uno, due = s.due, quattro = s.quattro, otto = s.otto;
    const __m256i sediciA = Sedici(uno, due, quattro, otto, indici, tabella);
    const __m256i sediciB = Sedici(uno, due, quattro, otto, indici + 16, tabella);
    s.uno = uno, s.due = due, s.quattro = quattro, s.otto = otto;
    __m256i trentadue;
    Csa(trentadue, s.sedici, sediciA, sediciB);
    // Ripple the weight-32 output through the carry planes; what leaves the last is rare enough
    // to count on the spot.
    for (auto& piano : s.riporto) {
        const __m256i oltre = _mm256_and_si256(piano, trentadue);
        piano = _mm256_xor_si256(piano, trentadue);
        trentadue = oltre;
    }
    if (!_mm256_testz_si256(trentadue, trentadue))
        Versa(trentadue, std::uint64_t{32} << PianiRiporto, classi);
}

class ContatoreFascia {
public:
    explicit ContatoreFascia(const Bersagli& bersagli)
        : m_piega(_mm256_set1_epi8(bersagli.piega ? 0x20 : 0))
        , m_inizio(_mm256_set1_epi8(static_cast<char>(bersagli.fascia)))
    {
        for (std::size_t t = 0; t < bersagli.numero; ++t) {
            if (bersagli.inFascia(t))
                m_usato[(bersagli.byte[t] - bersagli.fascia) / 8] = true;
        }
        for (auto& s : m_piani) {
            s.uno = s.due = s.quattro = s.otto = s.sedici = _mm256_setzero_si256();
            for (auto& piano : s.riporto)
                piano = _mm256_setzero_si256();
        }
    }

    void conta(const std::uint8_t* p, std::size_t n)
    {
        std::size_t i = 0;
        for (; n - i >= 32 * PerGiro; i += 32 * PerGiro) {
            for (int j = 0; j < PerGiro; ++j)
                prepara(j, Carica(p + i + 32 * j));
            somma();
        }
        if (i < n)
            ultimoGiro(p + i, n - i);
    }

    void versa(const Bersagli& bersagli, ContiGrezzi& conti)
    {
        for (int g = 0; g < Gruppi; ++g) {
            if (!m_usato[g])
                continue;
            const Piani& s = m_piani[g];
            std::uint64_t* c = m_classi + 8 * g;
            Versa(s.uno, 1, c);
            Versa(s.due, 2, c);
            Versa(s.quattro, 4, c);
            Versa(s.otto, 8, c);
            Versa(s.sedici, 16, c);
            for (int k = 0; k < PianiRiporto; ++k)
                Versa(s.riporto[k], std::uint64_t{32} << k, c);
        }
        for (std::size_t t = 0; t < bersagli.numero; ++t) {
            if (bersagli.inFascia(t))
                conti.perBersaglio[t] += m_classi[bersagli.byte[t] - bersagli.fascia];
        }
    }

private:
    void prepara(int j, __m256i v)
    {
        const __m256i spinta = _mm256_set1_epi8(0x70);  // 0 to 15 stay below 0x80; 16 and more saturate to it
        const __m256i distanza = _mm256_sub_epi8(_mm256_or_si256(v, m_piega), m_inizio);
        m_indici[0][j] = _mm256_adds_epu8(distanza, spinta);
        m_indici[1][j] = _mm256_adds_epu8(_mm256_xor_si256(distanza, _mm256_set1_epi8(0x10)), spinta);
    }

    void somma()
    {
        const __m256i basse = _mm256_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 4, 8, 16, 32,
                                               64, -128, 0, 0, 0, 0, 0, 0, 0, 0);
        const __m256i alte = _mm256_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 4, 8, 16, 32, 64, -128, 0, 0, 0, 0, 0, 0, 0,
                                              0, 1, 2, 4, 8, 16, 32, 64, -128);
        for (int g = 0; g < Gruppi; ++g) {
            if (m_usato[g])
                Giro(m_piani[g], m_indici[g / 2], g % 2 == 0 ? basse : alte, m_classi + 8 * g);
        }
    }

    // The last round, short of vectors: bytes past the end look up nothing (an index with bit 7 set).
    void ultimoGiro(const std::uint8_t* p, std::size_t n)
    {
        int j = 0;
        std::size_t i = 0;
        for (; n - i >= 32; i += 32, ++j)
            prepara(j, Carica(p + i));
        if (i < n) {
            alignas(32) std::uint8_t coda[32] = {};
            std::memcpy(coda, p + i, n - i);
            prepara(j, Carica(coda));
            const __m256i posizioni = _mm256_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18,
                                                       19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31);
            const __m256i oltre = _mm256_cmpgt_epi8(posizioni, _mm256_set1_epi8(static_cast<char>(n - i - 1)));
            m_indici[0][j] = _mm256_or_si256(m_indici[0][j], oltre);
            m_indici[1][j] = _mm256_or_si256(m_indici[1][j], oltre);
            ++j;
        }
        for (; j < PerGiro; ++j)
            m_indici[0][j] = m_indici[1][j] = _mm256_set1_epi8(-128);
        somma();
    }

    __m256i m_piega, m_inizio;
    bool m_usato[Gruppi] = {};
    Piani m_piani[Gruppi];
    std::uint64_t m_classi[8 * Gruppi] = {};
    alignas(32) __m256i m_indici[2][PerGiro];
};

}  // namespace

void ContaAvx2(const std::uint8_t* p, std::size_t n, const Bersagli& bersagli, ContiGrezzi& conti)
{
    if (bersagli.fascia >= 0) {
        ContatoreFascia contatore(bersagli);
        contatore.conta(p, n);
        contatore.versa(bersagli, conti);
    }
    if (bersagli.numeroFuori > 0) {
        const std::size_t fatti = ContaConfrontando(p, n, bersagli, conti);
        ContaFuoriScalare(p + fatti, n - fatti, bersagli, conti);
    }
}

}  // namespace varnel::dettaglio

VARNEL_FINE_REGIONE

#endif
