// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The results of an analysis as a table of text, for the clipboard and for CSV files.

#include "Simboli.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace varnel {

struct FormatoTabella {
    std::string_view separatoreCampi;
    std::string_view separatoreDecimale;
    std::string_view fineRiga;
};

inline constexpr std::string_view BomUtf8 = "\xEF\xBB\xBF";

// The CSV layout a spreadsheet expects where the decimal mark is `separatoreDecimale`: a comma
// there pushes the field separator to a semicolon. Lines end in CR LF, as RFC 4180 has them.
[[nodiscard]] FormatoTabella FormatoCsv(std::string_view separatoreDecimale);

// A header row (Simbolo, Conteggio, Percentuale), one row per slot with its UTF-8 caption, its
// count and its percentage as the summary writes it, then Totale and the denominator. A field that
// holds the field separator, a quote or a line end is quoted as RFC 4180 says.
[[nodiscard]] std::string TabellaRisultati(std::span<const std::string, NumeroSlot> simboli, const Conteggi& conteggi,
                                           std::uint64_t totale, const FormatoTabella& formato);

}  // namespace varnel
