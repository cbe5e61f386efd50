// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the AVX2 kernels share. Include it inside their target region only.

#include <immintrin.h>

#include <cstdint>

namespace varnel::dettaglio::avx2 {
namespace {

inline __m256i Carica(const std::uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }

inline std::uint64_t Maschera(__m256i basso, __m256i alto)
{
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(basso))
           | (std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(alto))} << 32);
}

// The sum of the 32 bytes.
inline std::uint64_t Somma(__m256i byte)
{
    const __m256i somme = _mm256_sad_epu8(byte, _mm256_setzero_si256());
    return static_cast<std::uint64_t>(_mm256_extract_epi64(somme, 0))
           + static_cast<std::uint64_t>(_mm256_extract_epi64(somme, 1))
           + static_cast<std::uint64_t>(_mm256_extract_epi64(somme, 2))
           + static_cast<std::uint64_t>(_mm256_extract_epi64(somme, 3));
}

}  // namespace
}  // namespace varnel::dettaglio::avx2
