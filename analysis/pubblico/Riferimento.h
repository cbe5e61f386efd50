// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The markers that set a language's letter frequencies beside the bars of an analysis.

#include "Lingue.h"
#include "Simboli.h"
#include "StatoAnalisi.h"

#include <array>
#include <cstdint>

namespace varnel {

// The height, in percent of `totale`, that each letter would reach if the letters counted in
// `conteggi` followed the language: its share × (sum of the counts ÷ totale). With no denominator
// (before any analysis) the shares themselves.
[[nodiscard]] std::array<double, NumeroSlot> PercentualiRiferimento(Lingua lingua, const Conteggi& conteggi,
                                                                    std::uint64_t totale);

// A marker's top in twips for a height in percent, on the chart as `stato` has it (stretched or not).
[[nodiscard]] float TopRiferimento(double percentuale, const StatoAnalisi& stato);

}  // namespace varnel
