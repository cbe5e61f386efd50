// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Analisi.h"
#include "Simboli.h"

#include <QString>

#include <array>
#include <cstdint>
#include <string>

namespace varnel {

// What an analysis window's last successful analysis was made from, and what it found.
struct UltimaAnalisi {
    QString percorso;  // the file analysed; empty for pasted text
    QString testo;     // the pasted text; empty for a file
    Criterio criterio;
    Analisi analisi;
    std::uint64_t totale = 0;                     // the denominator it was shown with
    std::array<std::string, NumeroSlot> simboli;  // the symbols under the bars, in UTF-8
};

}  // namespace varnel
