// SPDX-License-Identifier: GPL-3.0-or-later
#include "AnalisiTesto.h"

#include "Analizzatore.h"
#include "Lettura.h"
#include "Motore.h"
#include "Utf8DaUtf16.h"

namespace varnel {

Esito<Analisi> AnalizzaTesto(std::u16string_view testo, const Criterio& criterio, Avanzamento& avanzamento)
{
    // The same engine, in order, that reads a file of this size.
    dettaglio::Analizzatore analizzatore(criterio, dettaglio::OpzioniDaAmbiente().kernel);
    avanzamento.fissaDimensione(dettaglio::Utf8DaUtf16::Lunghezza(testo));
    dettaglio::Utf8DaUtf16 fonte(testo);
    const BufferDiLettura memoria(256 * 1024);
    const auto buffer = memoria.dati();
    while (const std::size_t n = fonte.Leggi(buffer)) {
        if (avanzamento.annullata())
            return Errore{Motivo::Annullata, {}};
        analizzatore.consuma(buffer.first(n));
        avanzamento.aggiungi(n);
    }
    return analizzatore.concludi();
}

}  // namespace varnel
