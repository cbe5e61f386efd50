// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The tables that resources/lingue/genera measures on running text of each language.

#include "Lingue.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace varnel {

inline constexpr std::size_t NumeroQuadrigrammi = 26 * 26 * 26 * 26;

// Log-probability of each quadgram of letters (index ((a·26 + b)·26 + c)·26 + d), one byte:
// 0 for a quadgram never seen, then QuadrigrammiPerDecade steps for each power of ten.
using TabellaQuadrigrammi = std::array<std::uint8_t, NumeroQuadrigrammi>;
inline constexpr int QuadrigrammiPerDecade = 40;

[[nodiscard]] const TabellaQuadrigrammi& Quadrigrammi(Lingua lingua);

extern const std::array<double, 26> FrequenzeItaliano;
extern const std::array<double, 26> FrequenzeInglese;
// The quadgrams seen, as resources/lingue/genera compresses them; Quadrigrammi() expands them.
extern const std::span<const std::uint8_t> QuadrigrammiCompressiItaliano;
extern const std::span<const std::uint8_t> QuadrigrammiCompressiInglese;

}  // namespace varnel
