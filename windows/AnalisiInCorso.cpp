// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis on its worker thread, while the user-interface thread waits in an event loop of its
// own and shows the progress.
#include "AnalisiInCorso.h"

#include "DialogoAvanzamento.h"

#include <QProgressDialog>
#include <QTimer>

#include <utility>

namespace varnel {

Esito<Analisi> FinestraAnalisi::analizzaConAvanzamento(const QString& descrizione, Lettura lettura)
{
    auto lavoro = AvviaLavoro(std::move(lettura));

    QProgressDialog avanzamento(this);
    PreparaAvanzamento(avanzamento, descrizione);

    using Fine = Attesa::Fine;
    Attesa attesa;
    QTimer battito;
    connect(&battito, &QTimer::timeout, this, [&] {
        if (lavoro->finito.load(std::memory_order_acquire))
            attesa.termina(Fine::Finita);
        else if (avanzamento.wasCanceled())
            attesa.termina(Fine::Annullata);
        else if (avanzamento.isVisible())
            MostraAvanzamento(avanzamento, descrizione, lavoro->avanzamento);
    });
    connect(&avanzamento, &QProgressDialog::canceled, this, [&] { attesa.termina(Fine::Annullata); });
    battito.start(20);
    m_attesa = &attesa;
    const SoloAvanzamento filtro(avanzamento);
    const Fine fine = attesa.esegui();
    m_attesa = nullptr;
    if (fine == Fine::Finita)
        return std::move(*lavoro->esito);
    lavoro->avanzamento.annulla();
    std::erase_if(m_abbandonati, [](const auto& l) { return l->finito.load(std::memory_order_acquire); });
    m_abbandonati.push_back(std::move(lavoro));
    return Errore{Motivo::Annullata, {}};
}

}  // namespace varnel
