// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The File that the page's worker hands the core through Module.leggiPezzo, and numbers written as
// an Italian locale writes them.

#include "Esito.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace varnel::web {

// The File's next slice from where the last ended.
[[nodiscard]] Esito<std::size_t> DaPagina(std::span<std::uint8_t> buffer);
// The File's first bytes, `massimo` at most; nothing when it cannot be read.
[[nodiscard]] std::optional<std::string> InizioPagina(std::size_t massimo);

// A comma for the decimals, `cifre` of them.
[[nodiscard]] std::string Decimale(double valore, int cifre);
// A point between thousands.
[[nodiscard]] std::string Migliaia(std::uint64_t n);

}  // namespace varnel::web
