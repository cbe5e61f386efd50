// SPDX-License-Identifier: GPL-3.0-or-later
// The UTF-8 check and the search for bytes above ASCII with AVX2.
#include "Kernel.h"

#ifdef VARNEL_X86

#include "RegioneVettoriale.h"
#include "TabelleUtf8.h"

#include <immintrin.h>

#include <algorithm>
#include <cstring>

VARNEL_INIZIO_REGIONE(VARNEL_ISTRUZIONI_AVX2)

#include "Avx2.h"

namespace varnel::dettaglio {

using avx2::Carica;
using avx2::Somma;

namespace {

inline __m256i Tabella(const utf8::Tabella& tabella)
{
    return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(tabella.data())));
}

inline __m256i Precedenti(__m256i v, __m256i prima, int quanti)
{
    const __m256i unione = _mm256_permute2x128_si256(prima, v, 0x21);
    switch (quanti) {
    case 1: return _mm256_alignr_epi8(v, unione, 15);
    case 2: return _mm256_alignr_epi8(v, unione, 14);
    default: return _mm256_alignr_epi8(v, unione, 13);
    }
}

inline __m256i ErroriUtf8(__m256i v, __m256i prima)
{
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    const __m256i prec1 = Precedenti(v, prima, 1);
    const __m256i alto1 = _mm256_shuffle_epi8(Tabella(utf8::PrimaAlto),
                                              _mm256_and_si256(_mm256_srli_epi16(prec1, 4), nibble));
    const __m256i basso1 = _mm256_shuffle_epi8(Tabella(utf8::PrimaBasso), _mm256_and_si256(prec1, nibble));
    const __m256i alto2 = _mm256_shuffle_epi8(Tabella(utf8::QuestoAlto),
                                              _mm256_and_si256(_mm256_srli_epi16(v, 4), nibble));
    const __m256i casi = _mm256_and_si256(_mm256_and_si256(alto1, basso1), alto2);
    // The third byte of a three-byte sequence and the third and fourth of a four-byte one must be
    // continuations: there, and only there, DueSeguiti is expected.
    const __m256i terzo = _mm256_subs_epu8(Precedenti(v, prima, 2), _mm256_set1_epi8(static_cast<char>(0xE0 - 0x80)));
    const __m256i quarto = _mm256_subs_epu8(Precedenti(v, prima, 3), _mm256_set1_epi8(static_cast<char>(0xF0 - 0x80)));
    const __m256i attesi = _mm256_and_si256(_mm256_or_si256(terzo, quarto), _mm256_set1_epi8(static_cast<char>(0x80)));
    return _mm256_xor_si256(attesi, casi);
}

// Non-zero when the last bytes of v open a sequence that v does not finish.
inline __m256i Incompleto(__m256i v)
{
    const __m256i massimi = _mm256_setr_epi8(
        -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
        -1, static_cast<char>(utf8::SogliaTerzultimo), static_cast<char>(utf8::SogliaPenultimo),
        static_cast<char>(utf8::SogliaUltimo));
    return _mm256_subs_epu8(v, massimi);
}

inline std::uint64_t Continuazioni(__m256i v)
{
    // 0x80..0xBF are the signed bytes below -64.
    return static_cast<std::uint64_t>(
        __builtin_popcount(static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpgt_epi8(_mm256_set1_epi8(-64), v)))));
}

struct StatoBlocchi {
    __m256i prima;  // the bytes before p hold no open sequence, which reads the same as ASCII
    __m256i errore;
    __m256i aperto;
    std::uint64_t seguiti;
};

// Blocks of 256 bytes, skipped when all ASCII. Whether a block is can then be foreseen both in
// plain ASCII and in text with an accent every line or so, where shorter blocks would go either
// way at random and every wrong guess would cost more than checking the block.
constexpr int Vettori = 8;
constexpr std::ptrdiff_t Blocco = 32 * Vettori;

const std::uint8_t* Blocchi(const std::uint8_t* q, const std::uint8_t* fine, StatoBlocchi& s)
{
    const __m256i sogliaContinuazione = _mm256_set1_epi8(-64);  // 0x80..0xBF are the signed bytes below -64
    while (fine - q >= Blocco) {
        // Continuations gather in byte lanes, eight a block at most.
        const std::uint8_t* finoA = q + Blocco * std::min<std::ptrdiff_t>((fine - q) / Blocco, 255 / Vettori);
        __m256i contate = _mm256_setzero_si256();
        for (; q < finoA; q += Blocco) {
            __m256i v[Vettori];
            __m256i tutti = _mm256_setzero_si256();
            for (int j = 0; j < Vettori; ++j) {
                v[j] = Carica(q + 32 * j);
                tutti = _mm256_or_si256(tutti, v[j]);
            }
            if (_mm256_movemask_epi8(tutti) == 0) {
                // All ASCII: a sequence left open before it stays unfinished. `prima` may stay as
                // it is, since it closes every sequence of its own.
                s.errore = _mm256_or_si256(s.errore, s.aperto);
                continue;
            }
            for (int j = 0; j < Vettori; ++j) {
                s.errore = _mm256_or_si256(s.errore, ErroriUtf8(v[j], j == 0 ? s.prima : v[j - 1]));
                contate = _mm256_sub_epi8(contate, _mm256_cmpgt_epi8(sogliaContinuazione, v[j]));
            }
            s.aperto = Incompleto(v[Vettori - 1]);
            s.prima = v[Vettori - 1];
        }
        s.seguiti += Somma(contate);
    }
    for (; fine - q >= 32; q += 32) {
        const __m256i a = Carica(q);
        if (_mm256_movemask_epi8(a) == 0) {
            s.errore = _mm256_or_si256(s.errore, s.aperto);
            continue;
        }
        s.errore = _mm256_or_si256(s.errore, ErroriUtf8(a, s.prima));
        s.aperto = Incompleto(a);
        s.prima = a;
        s.seguiti += Continuazioni(a);
    }
    return q;
}

}  // namespace

const std::uint8_t* ValidaUtf8Avx2(const std::uint8_t* p, const std::uint8_t* fine, std::uint64_t& continuazioni)
{
    const __m256i zero = _mm256_setzero_si256();
    StatoBlocchi s{zero, zero, zero, 0};
    const std::uint8_t* q = Blocchi(p, fine, s);
    if (!_mm256_testz_si256(s.errore, s.errore))
        return nullptr;
    // Hand the sequence still open at q back to the byte-at-a-time check, with its continuations.
    const std::uint8_t* aperta = InizioApertaScalare(p, q);
    if (aperta < q)
        s.seguiti -= static_cast<std::uint64_t>(q - aperta - 1);
    continuazioni += s.seguiti;
    return aperta;
}

namespace {

// A byte lane counts up to 255 matches before it must be added up.
constexpr std::size_t BlocchiPerSomma = 255;

// The encodings to look for, each byte broadcast, and their counts so far: kept apart from the
// caller's, so that storing a count never makes the compiler read the encodings again.
struct Ricerca {
    __m256i indietro[NumeroSlot][4];
    std::array<std::uint8_t, NumeroSlot> lunghezza;
    std::size_t numero;
    std::array<std::uint64_t, NumeroSlot> conti{};

    explicit Ricerca(const Sequenze& sequenze)
        : lunghezza(sequenze.lunghezza)
        , numero(sequenze.numero)
    {
        for (std::size_t s = 0; s < numero; ++s) {
            for (std::size_t d = 0; d < 4; ++d)
                indietro[s][d] = _mm256_set1_epi8(static_cast<char>(sequenze.indietro[s][d]));
        }
    }

    // Counts the encodings whose last byte is among the `quanti` blocks of 32 at q (at most
    // BlocchiPerSomma); the three bytes before q are readable. One encoding at a time, so that its
    // sum stays in a register, where each match adds one to its lane.
    void blocchi(const std::uint8_t* q, std::size_t quanti)
    {
        for (std::size_t s = 0; s < numero; ++s) {
            __m256i somma = _mm256_setzero_si256();
            const std::size_t l = lunghezza[s];
            for (std::size_t b = 0; b < quanti; ++b) {
                const std::uint8_t* ultimo = q + 32 * b;
                __m256i uguali = _mm256_cmpeq_epi8(Carica(ultimo), indietro[s][0]);
                for (std::size_t d = 1; d < l; ++d)
                    uguali = _mm256_and_si256(uguali, _mm256_cmpeq_epi8(Carica(ultimo - d), indietro[s][d]));
                somma = _mm256_sub_epi8(somma, uguali);
            }
            const __m256i parziali = _mm256_sad_epu8(somma, _mm256_setzero_si256());
            conti[s] += static_cast<std::uint64_t>(_mm256_extract_epi64(parziali, 0) + _mm256_extract_epi64(parziali, 1)
                                                   + _mm256_extract_epi64(parziali, 2)
                                                   + _mm256_extract_epi64(parziali, 3));
        }
    }

    // The same for the n bytes at q (at most 32), with the three bytes that stand before them.
    void bordo(const std::uint8_t* q, std::size_t n, const Contesto& prima)
    {
        // NUL bytes past the end end no encoding.
        std::uint8_t copia[3 + 32] = {prima[2], prima[1], prima[0]};
        std::memcpy(copia + 3, q, n);
        blocchi(copia + 3, 1);
    }
};

}  // namespace

void ContaSequenzeAvx2(const std::uint8_t* p, std::size_t n, const Contesto& prima, const Sequenze& sequenze,
                       ContiGrezzi& conti)
{
    Ricerca ricerca(sequenze);
    std::size_t i = std::min<std::size_t>(n, 32);
    ricerca.bordo(p, i, prima);
    // Every block, ASCII or not: in text with accents a test per block would be mispredicted often.
    while (n - i >= 32) {
        const std::size_t quanti = std::min((n - i) / 32, BlocchiPerSomma);
        ricerca.blocchi(p + i, quanti);
        i += quanti * 32;
    }
    if (i < n)
        ricerca.bordo(p + i, n - i, {p[i - 1], p[i - 2], p[i - 3]});
    for (std::size_t s = 0; s < ricerca.numero; ++s)
        conti.perBersaglio[s] += ricerca.conti[s];
}

}  // namespace varnel::dettaglio

VARNEL_FINE_REGIONE

#endif
