// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Risultati.h"
#include "StatoAnalisi.h"

#include <optional>

namespace varnel {

struct Stiramento {
    std::array<Barra, NumeroSlot> barre{};
    std::string perc1;  // caption of the top gridline
    std::string perc2;  // caption of the middle gridline
};

// Stretches the bars once per analysis so that the tallest reaches the full scale. Nothing to do
// once stretched, or with no peak to stretch to (no analysis yet, or nothing counted).
[[nodiscard]] std::optional<Stiramento> Stira(std::span<const float, NumeroSlot> altezze, const StatoAnalisi& stato);

}  // namespace varnel
