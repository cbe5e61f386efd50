// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The reading of a regular file in ranges, by several workers at once, each with positional reads.

#include "Analisi.h"
#include "Avanzamento.h"
#include "Esito.h"
#include "Kernel.h"
#include "Lettura.h"
#include "Motore.h"
#include "Simboli.h"

namespace varnel::dettaglio {

// The analysis of a regular file split into the plan's ranges (at least one), exactly as reading
// it in order would give.
[[nodiscard]] Esito<Analisi> AnalizzaATratti(const FileInLettura& file, const PianoTratti& piano,
                                             const Criterio& criterio, Avanzamento& avanzamento,
                                             const Opzioni& opzioni);

}  // namespace varnel::dettaglio
