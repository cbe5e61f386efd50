// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Analisi.h"
#include "Avanzamento.h"
#include "Esito.h"
#include "Simboli.h"

#include <string_view>

namespace varnel {

// Analyses text held in memory in UTF-16, as a toolkit's strings hold it, exactly as a file holding
// the same text in UTF-8 would be analysed. The text is converted a slice at a time, so memory stays
// constant beyond the text itself; a lone surrogate, which UTF-8 cannot hold, is read as U+FFFD.
// Progress counts UTF-8 bytes; a cancel through `avanzamento` ends it with Motivo::Annullata.
[[nodiscard]] Esito<Analisi> AnalizzaTesto(std::u16string_view testo, const Criterio& criterio,
                                           Avanzamento& avanzamento);

}  // namespace varnel
