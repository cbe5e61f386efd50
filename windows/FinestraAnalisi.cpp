#include "FinestraAnalisi.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <atomic>
#include <memory>
#include <optional>
#include <thread>

namespace varnel {

namespace {

QString MessaggioErrore(const QString& percorso, const Errore& errore)
{
    const QString dettaglio = QString::fromLocal8Bit(errore.dettaglio.c_str());
    QString motivo;
    switch (errore.motivo) {
    case Motivo::NonTrovato: motivo = QStringLiteral("il file non esiste."); break;
    case Motivo::PermessoNegato: motivo = QStringLiteral("non si hanno i permessi per leggerlo."); break;
    case Motivo::Cartella: motivo = QStringLiteral("è una cartella, non un file."); break;
    case Motivo::ErroreLettura: motivo = QStringLiteral("si è verificato un errore durante la lettura (%1).").arg(dettaglio); break;
    case Motivo::FileModificato: motivo = QStringLiteral("il file è stato modificato durante la lettura. Ripetere l'analisi."); break;
    case Motivo::Annullata:
    case Motivo::Altro: motivo = dettaglio + QLatin1Char('.'); break;
    }
    return QStringLiteral("Impossibile leggere il file \"%1\": %2").arg(QDir::toNativeSeparators(percorso), motivo);
}

}  // namespace

FinestraAnalisi::FinestraAnalisi(const QString& nomeClasse)
    : Finestra(nomeClasse, QStringLiteral("Varnel - "), {0, 0, 10125, 6075}, Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
}

void FinestraAnalisi::costruisci(QWidget* area, double twipsPerPixel)
{
    // A window opened again starts from a clean state, so that its rebuilt chart and its state agree.
    m_stato = {};
    m_grafico.costruisci(area, twipsPerPixel);
    m_controlli = CostruisciControlli(tabella(), area, twipsPerPixel);
    controllo<QPushButton>("Command1")->setFocus();

    connect(controllo<QPushButton>("Command1"), &QPushButton::clicked, this, &FinestraAnalisi::Command1_Click);
    connect(controllo<QPushButton>("Command2"), &QPushButton::clicked, this, &FinestraAnalisi::Command2_Click);
    connect(controllo<QPushButton>("Command3"), &QPushButton::clicked, this, &FinestraAnalisi::Command3_Click);
    connect(controllo<QCheckBox>("Check1"), &QCheckBox::clicked, this, &FinestraAnalisi::Check1_Click);
    connect(controllo<EtichettaCliccabile>("Image2"), &EtichettaCliccabile::clic, this, &FinestraAnalisi::Image2_Click);
    connect(controllo<EtichettaCliccabile>("Label10"), &EtichettaCliccabile::clic, this, &FinestraAnalisi::Label10_Click);
    connect(controllo<EtichettaCliccabile>("Image4"), &EtichettaCliccabile::clic, this, &FinestraAnalisi::Image4_Click);
    connect(controllo<EtichettaCliccabile>("Label11"), &EtichettaCliccabile::clic, this, &FinestraAnalisi::Label11_Click);
}

void FinestraAnalisi::avvisa(const QString& testo)
{
    QMessageBox avviso(QMessageBox::NoIcon, QStringLiteral("Varnel"), testo, QMessageBox::Ok, this);
    avviso.setWindowModality(Qt::ApplicationModal);
    avviso.exec();
}

QString FinestraAnalisi::scegliFile()
{
    QFileDialog dialogo(this);
    dialogo.setFileMode(QFileDialog::ExistingFile);
    dialogo.setAcceptMode(QFileDialog::AcceptOpen);
    if (!m_cartella.isEmpty())
        dialogo.setDirectory(m_cartella);
#ifndef Q_OS_WIN
    // Qt's own dialog everywhere but Windows, so that it is the same modal widget on every desktop.
    dialogo.setOption(QFileDialog::DontUseNativeDialog);
#endif
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty())
        return {};
    const QString percorso = dialogo.selectedFiles().constFirst();
    m_cartella = QFileInfo(percorso).absolutePath();
    return percorso;
}

Esito<Analisi> FinestraAnalisi::analizzaConAvanzamento(const QString& percorso, const Criterio& criterio)
{
    // The reading runs on a worker that shares only this record with the window, so that a worker
    // held by the system can be abandoned: it never touches a widget.
    struct Lavoro {
        Avanzamento avanzamento;
        std::optional<Esito<Analisi>> esito;
        std::atomic<bool> finito{false};
    };
    auto lavoro = std::make_shared<Lavoro>();
#ifdef Q_OS_WIN
    const std::filesystem::path file = percorso.toStdWString();
#else
    const std::filesystem::path file = QFile::encodeName(percorso).toStdString();  // the bytes the system knows
#endif
    std::thread([lavoro, file, criterio] {
        lavoro->esito.emplace(AnalizzaFile(file, criterio, lavoro->avanzamento));
        lavoro->finito.store(true, std::memory_order_release);
    }).detach();

    // Shown only when the analysis lasts longer than half a second.
    QProgressDialog avanzamento(QStringLiteral("Analisi di \"%1\" in corso...").arg(QFileInfo(percorso).fileName()),
                                QStringLiteral("Annulla"), 0, 1000, this);
    avanzamento.setWindowTitle(QStringLiteral("Varnel"));
    avanzamento.setWindowModality(Qt::WindowModal);
    avanzamento.setMinimumDuration(500);
    avanzamento.setAutoClose(false);
    avanzamento.setAutoReset(false);
    avanzamento.setValue(0);
    QTimer battito;
    battito.start(20);
    while (!lavoro->finito.load(std::memory_order_acquire) && !avanzamento.wasCanceled()) {
        const std::uint64_t letti = lavoro->avanzamento.letti();
        const std::uint64_t dimensione = lavoro->avanzamento.dimensione();
        if (dimensione > 0 && letti <= dimensione) {
            avanzamento.setValue(static_cast<int>(letti * 1000 / dimensione));
        } else {
            avanzamento.setMaximum(0);  // no known end: a busy bar and the amount read so far
            avanzamento.setLabelText(QStringLiteral("Analisi in corso: %1 letti...").arg(QLocale().formattedDataSize(static_cast<qint64>(letti))));
        }
        // Until the modal dialog shows, clicks wait for the analysis to end.
        QApplication::processEvents((avanzamento.isVisible() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents)
                                    | QEventLoop::WaitForMoreEvents);
    }
    if (!lavoro->finito.load(std::memory_order_acquire)) {
        lavoro->avanzamento.annulla();
        return Errore{Motivo::Annullata, {}};
    }
    return std::move(*lavoro->esito);
}

void FinestraAnalisi::analizza(const Criterio& criterio, const std::function<void()>& applica)
{
    const QString percorso = scegliFile();
    if (percorso.isEmpty())
        return;
    const auto esito = analizzaConAvanzamento(percorso, criterio);
    if (!esito.riuscito()) {
        if (esito.errore().motivo != Motivo::Annullata)
            avvisa(MessaggioErrore(percorso, esito.errore()));
        return;
    }
    if (applica)
        applica();
    m_stato.PercMax = 0;
    m_stato.Ottimizzato = 0;
    m_grafico.ripristinaAssi();
    controllo<QPlainTextEdit>("Text2")->clear();
    m_stato.Totale = Totale(esito.valore(), controllo<QCheckBox>("Check1")->isChecked());
    MostraRisultati(esito.valore().conteggi);
}

void FinestraAnalisi::MostraRisultati(const Conteggi& conteggi)
{
    const std::string separatore = QLocale().decimalPoint().toStdString();
    const Risultati risultati = CalcolaRisultati(m_grafico.simboli(), conteggi, m_stato.Totale.value_or(0), separatore);
    m_grafico.mostra(risultati);
    controllo<QPlainTextEdit>("Text2")->setPlainText(QString::fromStdString(risultati.riepilogo));
    m_stato.PercMax = risultati.percMax;
    m_stato.ConteggioMax = risultati.conteggioMax;
}

void FinestraAnalisi::Command2_Click()
{
    const auto stiramento = Stira(m_grafico.altezze(), m_stato);
    if (!stiramento)
        return;
    m_grafico.stira(*stiramento);
    m_stato.Ottimizzato = 1;
}

void FinestraAnalisi::Command3_Click()
{
    // The other window opens first, so that at no moment is no window open.
    emit richiestaAltraFinestra();
    close();
}

void FinestraAnalisi::Check1_Click()
{
    avvisa(QStringLiteral("Affinchè il programma tenga conto di questa opzione è necessario rieseguire l'analisi."));
}

void FinestraAnalisi::Image2_Click() { close(); }
void FinestraAnalisi::Label10_Click() { close(); }
void FinestraAnalisi::Image4_Click() { emit richiestaInformazioni(); }
void FinestraAnalisi::Label11_Click() { emit richiestaInformazioni(); }

}  // namespace varnel
