// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

namespace varnel {

// The analysis state that an analysis window keeps between its commands. Every field is unset
// until the window's first analysis; an unset field reads as 0.
struct StatoAnalisi {
    std::optional<double> PercMax;              // highest percentage of the last analysis
    std::optional<std::uint64_t> Totale;        // denominator of the last analysis
    std::optional<int> Ottimizzato;             // 1 once the chart has been stretched
    std::optional<std::uint64_t> ConteggioMax;  // count of the tallest bar, for exact axis captions
};

}  // namespace varnel
