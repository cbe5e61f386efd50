// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <variant>

namespace varnel {

inline constexpr std::size_t NumeroSlot = 26;

// Counts of one analysis, slot 0 for the first symbol. 64-bit so that files over 4 GiB count right.
using Conteggi = std::array<std::uint64_t, NumeroSlot>;

enum class ModoLettere { Minuscole, Maiuscole, SenzaDistinzione };

// The 26 symbols typed in the advanced window, one Unicode code point each.
using Simboli = std::array<char32_t, NumeroSlot>;

// What a slot counts: a letter under a case mode, or a symbol matched exactly.
using Criterio = std::variant<ModoLettere, Simboli>;

}  // namespace varnel
