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

// The analysis of a regular file that is read as UTF-8 or Windows-1252 (it starts with no UTF-16
// byte-order mark; `bom` when it starts with a UTF-8 one), exactly as reading it in order would give.
[[nodiscard]] Esito<Analisi> AnalizzaATratti(const FileInLettura& file, bool bom, const Criterio& criterio,
                                             Avanzamento& avanzamento, const Opzioni& opzioni);

}  // namespace varnel::dettaglio
