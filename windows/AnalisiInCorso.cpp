// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis on its worker thread, while the user-interface thread waits in an event loop of its
// own and shows the progress.
#include "AnalisiInCorso.h"

#include <QLabel>
#include <QLocale>
#include <QProgressDialog>
#include <QTimer>

#include <thread>
#include <utility>

namespace varnel {

namespace {

// The progress dialog, modal to the window, shown only when the analysis lasts longer than half a
// second; the file's name as it is, never as markup.
void PreparaAvanzamento(QProgressDialog& dialogo, const QString& descrizione)
{
    auto* testo = new QLabel;
    testo->setTextFormat(Qt::PlainText);
    dialogo.setLabel(testo);
    dialogo.setLabelText(descrizione + QStringLiteral("..."));
    dialogo.setCancelButtonText(QStringLiteral("Annulla"));
    dialogo.setRange(0, 1000);
    dialogo.setWindowTitle(QStringLiteral("Varnel"));
    dialogo.setWindowModality(Qt::WindowModal);
    dialogo.setMinimumDuration(500);
    dialogo.setAutoClose(false);
    dialogo.setAutoReset(false);
    dialogo.setValue(0);
}

void MostraAvanzamento(QProgressDialog& dialogo, const QString& descrizione, const Avanzamento& avanzamento)
{
    const std::uint64_t letti = avanzamento.letti();
    const std::uint64_t dimensione = avanzamento.dimensione();
    if (dimensione > 0 && letti <= dimensione) {
        dialogo.setValue(static_cast<int>(letti * 1000 / dimensione));
    } else {
        dialogo.setMaximum(0);  // no known end: a busy bar and the amount read so far
        dialogo.setLabelText(QStringLiteral("%1: %2 letti...")
                                 .arg(descrizione, QLocale().formattedDataSize(static_cast<qint64>(letti))));
    }
}

}  // namespace

Esito<Analisi> FinestraAnalisi::analizzaConAvanzamento(const QString& descrizione, Lettura lettura)
{
    auto lavoro = std::make_shared<Lavoro>();
    std::thread([lavoro, lettura = std::move(lettura)] {
        lavoro->esito.emplace(lettura(lavoro->avanzamento));
        lavoro->finito.store(true, std::memory_order_release);
    }).detach();

    QProgressDialog avanzamento(this);
    PreparaAvanzamento(avanzamento, descrizione);

    using Fine = Attesa::Fine;
    Attesa attesa;
    bool primaDelDialogo = true;
    QTimer battito;
    connect(&battito, &QTimer::timeout, this, [&] {
        if (lavoro->finito.load(std::memory_order_acquire)) {
            attesa.termina(Fine::Finita);
        } else if (avanzamento.wasCanceled()) {
            attesa.termina(Fine::Annullata);
        } else if (avanzamento.isVisible()) {
            if (std::exchange(primaDelDialogo, false))
                attesa.termina(Fine::Mostrata);
            else
                MostraAvanzamento(avanzamento, descrizione, lavoro->avanzamento);
        }
    });
    connect(&avanzamento, &QProgressDialog::canceled, this, [&] { attesa.termina(Fine::Annullata); });
    battito.start(20);
    m_attesa = &attesa;
    // Until the dialog shows, input waits, as it does for a command that runs to its end: it is
    // handled after a short analysis, and by the dialog once it is up. The dialog, modal to the
    // window, then keeps input from the window.
    Fine fine = attesa.esegui(QEventLoop::ExcludeUserInputEvents);
    if (fine == Fine::Mostrata)
        fine = attesa.esegui(QEventLoop::AllEvents);
    m_attesa = nullptr;
    if (fine == Fine::Finita)
        return std::move(*lavoro->esito);
    lavoro->avanzamento.annulla();
    std::erase_if(m_abbandonati, [](const auto& l) { return l->finito.load(std::memory_order_acquire); });
    m_abbandonati.push_back(std::move(lavoro));
    return Errore{Motivo::Annullata, {}};
}

}  // namespace varnel
