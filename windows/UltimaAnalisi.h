// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Analisi.h"
#include "AnalisiFile.h"
#include "Simboli.h"

#include <QString>

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

namespace varnel {

// What an analysis window's last successful analysis was made from, and what it found.
struct UltimaAnalisi {
    std::filesystem::path percorso;  // the file analysed, as the system spells it; empty for pasted text
    ImprontaFile impronta;           // which version of it
    QString testo;                   // the pasted text; empty for a file
    Criterio criterio;
    Analisi analisi;
    std::uint64_t totale = 0;                     // the denominator it was shown with
    std::array<std::string, NumeroSlot> simboli;  // the symbols under the bars, in UTF-8
};

}  // namespace varnel
