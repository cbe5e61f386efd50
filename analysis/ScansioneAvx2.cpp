#include "Scansione.h"

#ifdef VARNEL_AVX2

#include <immintrin.h>

namespace varnel::dettaglio {

namespace {

// Eight vectors (256 bytes) are compared per target at a time; byte lanes gather at most 8 per
// block, so 31 blocks fit before they would overflow 255.
constexpr std::size_t Blocco = 256;
constexpr std::size_t BlocchiPerGiro = 31;

__attribute__((target("avx2"))) std::uint64_t Somma(__m256i byte)
{
    const __m256i somme = _mm256_sad_epu8(byte, _mm256_setzero_si256());
    return static_cast<std::uint64_t>(_mm256_extract_epi64(somme, 0)) + static_cast<std::uint64_t>(_mm256_extract_epi64(somme, 1))
           + static_cast<std::uint64_t>(_mm256_extract_epi64(somme, 2)) + static_cast<std::uint64_t>(_mm256_extract_epi64(somme, 3));
}

}  // namespace

__attribute__((target("avx2"))) void ContaAvx2(const std::uint8_t* p, std::size_t n, const Bersagli& bersagli, ContiGrezzi& conti)
{
    const __m256i piega = _mm256_set1_epi8(bersagli.piega ? 0x20 : 0);
    const __m256i sogliaContinuazione = _mm256_set1_epi8(-64);  // 0x80..0xBF are the signed bytes below -64
    std::size_t i = 0;
    while (n - i >= Blocco) {
        const std::size_t blocchi = std::min((n - i) / Blocco, BlocchiPerGiro);
        __m256i accumuli[NumeroSlot];
        for (std::size_t t = 0; t < bersagli.numero; ++t)
            accumuli[t] = _mm256_setzero_si256();
        __m256i continuazioni = _mm256_setzero_si256();
        for (std::size_t b = 0; b < blocchi; ++b, i += Blocco) {
            __m256i v[8];
            __m256i cont = _mm256_setzero_si256();
            for (int j = 0; j < 8; ++j) {
                v[j] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i + 32 * j));
                cont = _mm256_add_epi8(cont, _mm256_cmpgt_epi8(sogliaContinuazione, v[j]));
                v[j] = _mm256_or_si256(v[j], piega);
            }
            continuazioni = _mm256_sub_epi8(continuazioni, cont);
            for (std::size_t t = 0; t < bersagli.numero; ++t) {
                const __m256i bersaglio = _mm256_set1_epi8(static_cast<char>(bersagli.byte[t]));
                __m256i uguali = _mm256_cmpeq_epi8(v[0], bersaglio);
                for (int j = 1; j < 8; ++j)
                    uguali = _mm256_add_epi8(uguali, _mm256_cmpeq_epi8(v[j], bersaglio));
                accumuli[t] = _mm256_sub_epi8(accumuli[t], uguali);
            }
        }
        for (std::size_t t = 0; t < bersagli.numero; ++t)
            conti.perBersaglio[t] += Somma(accumuli[t]);
        conti.continuazioni += Somma(continuazioni);
    }
    ContaScalare(p + i, n - i, bersagli, conti);
}

__attribute__((target("avx2"))) const std::uint8_t* FineCampoAvx2(const std::uint8_t* p, const std::uint8_t* fine)
{
    const __m256i virgola = _mm256_set1_epi8(',');
    const __m256i ritorno = _mm256_set1_epi8('\r');
    const __m256i acapo = _mm256_set1_epi8('\n');
    while (fine - p >= 32) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i trovati = _mm256_or_si256(_mm256_cmpeq_epi8(v, virgola),
                                                _mm256_or_si256(_mm256_cmpeq_epi8(v, ritorno), _mm256_cmpeq_epi8(v, acapo)));
        const auto maschera = static_cast<unsigned>(_mm256_movemask_epi8(trovati));
        if (maschera != 0)
            return p + __builtin_ctz(maschera);
        p += 32;
    }
    return FineCampoScalare(p, fine);
}

}  // namespace varnel::dettaglio

#endif
