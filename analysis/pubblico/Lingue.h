// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Letter statistics of the languages a ciphertext is compared with, measured on running text.

#include <array>

namespace varnel {

enum class Lingua { Italiano, Inglese };

// How often each letter a–z occurs in running text of the language, in percent of its letters
// (accents folded to their base letter); they add up to 100.
[[nodiscard]] const std::array<double, 26>& FrequenzeLettere(Lingua lingua);

}  // namespace varnel
