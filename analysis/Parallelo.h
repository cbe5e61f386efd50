#pragma once

// The reading of a regular file in ranges, by several workers at once, each with positional reads.

#include "Analisi.h"
#include "Avanzamento.h"
#include "Esito.h"
#include "Kernel.h"
#include "Lettura.h"
#include "Simboli.h"

namespace varnel::dettaglio {

struct Ripartizione {
    unsigned lavoratori = 0;  // 0: one per core, within a cap
    std::uint64_t tratto = 0; // bytes a range holds; 0: chosen from the file's size
};

// The analysis of a regular file that is read as UTF-8 or Windows-1252 (it starts with no UTF-16
// byte-order mark), exactly as reading it in order would give.
[[nodiscard]] Esito<Analisi> AnalizzaATratti(const FileInLettura& file, const Criterio& criterio, Percorso kernel,
                                             Avanzamento& avanzamento, Ripartizione ripartizione);

}  // namespace varnel::dettaglio
