// SPDX-License-Identifier: GPL-3.0-or-later
#include "FinestraAnalisi.h"

#include "AnalisiInCorso.h"
#include "AnalisiTesto.h"
#include "Salvataggio.h"
#include "SceltaFile.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

#include <chrono>
#include <thread>
#include <utility>

namespace varnel {

namespace {

// The rows that both analysis windows share, from front to back.
std::vector<Controllo> RigheComuni()
{
    using enum Tipo;
    using enum Colore;
    using enum Font;
    return {
        {"Command2",
         Pulsante,
         {600, 5640, 2055, 375},
         "Ottimizza grafico",
         {.colore = TestoPulsante, .sfondo = Menu, .tabIndex = 86}},
        {"Text2",
         CasellaTesto,
         {6360, 360, 3495, 1215},
         {},
         {.colore = TestoFinestra, .sfondo = BordoAttivo, .tabIndex = 56, .didascalia = "Label2"}},
        {"Command1",
         Pulsante,
         {600, 5160, 2055, 375},
         "Analisi frequenze",
         {.colore = TestoPulsante, .sfondo = Menu, .tabIndex = 0}},
        {"Image4", Immagine, {8160, 5280, 480, 480}, ":/img/informazioni.png", {.mano = true, .didascalia = "Label11"}},
        {"Image2", Immagine, {9480, 5280, 480, 480}, ":/img/esci.png", {.mano = true, .didascalia = "Label10"}},
        {"Label10",
         Etichetta,
         {9480, 5760, 615, 255},
         "Esci",
         {.font = SansGrassetto, .colore = TestoEvidenziato, .sfondo = TestoPulsante}},
        {"Label11",
         Etichetta,
         {7800, 5760, 1335, 255},
         "Informazioni",
         {.font = SansGrassetto, .colore = TestoEvidenziato, .sfondo = TestoPulsante}},
        {"Image1", Immagine, {0, 0, 5175, 630}, ":/img/banner.png", {.voce = IndirizzoWeb}},
        {"Label2", Etichetta, {6840, 120, 3015, 255}, "Riepilogo dettagliato analisi frequenze", {}},
    };
}

QString MessaggioErrore(const QString& percorso, const Errore& errore)
{
#ifdef Q_OS_WIN
    const QString dettaglio = QString::fromUtf8(errore.dettaglio.c_str());  // LetturaWindows gives UTF-8
#else
    const QString dettaglio = QString::fromLocal8Bit(errore.dettaglio.c_str());  // strerror, in the locale's encoding
#endif
    QString motivo;
    switch (errore.motivo) {
    case Motivo::NonTrovato: motivo = QStringLiteral("il file non esiste."); break;
    case Motivo::PermessoNegato: motivo = QStringLiteral("non si hanno i permessi per leggerlo."); break;
    case Motivo::Cartella: motivo = QStringLiteral("è una cartella, non un file."); break;
    case Motivo::ErroreLettura:
        motivo = QStringLiteral("si è verificato un errore durante la lettura (%1).").arg(dettaglio);
        break;
    case Motivo::FileModificato:
        motivo = QStringLiteral("il file è stato modificato durante la lettura. Ripetere l'analisi.");
        break;
    default: motivo = dettaglio + QLatin1Char('.'); break;
    }
    return QStringLiteral("Impossibile leggere il file \"%1\": %2").arg(QDir::toNativeSeparators(percorso), motivo);
}

// What the option buttons and the check box select. Only input is kept from the window while it
// waits; what reaches them by another route meanwhile is undone.
using Selezioni = std::vector<std::pair<QAbstractButton*, bool>>;

Selezioni LeggiSelezioni(const QWidget& finestra)
{
    Selezioni selezioni;
    for (QAbstractButton* pulsante : finestra.findChildren<QAbstractButton*>()) {
        if (pulsante->isCheckable())
            selezioni.emplace_back(pulsante, pulsante->isChecked());
    }
    return selezioni;
}

void RipristinaSelezioni(const Selezioni& selezioni)
{
    // An option button is put back by selecting the one that was selected.
    for (const auto& [pulsante, selezionato] : selezioni) {
        if (selezionato || !pulsante->autoExclusive())
            pulsante->setChecked(selezionato);
    }
}

}  // namespace

FinestraAnalisi::Turno::Turno(FinestraAnalisi& finestra)
{
    if (!s_turnoPreso) {
        s_turnoPreso = true;
        m_uso.emplace(finestra);
    }
}

FinestraAnalisi::Turno::~Turno()
{
    if (m_uso) {
        m_uso.reset();
        s_turnoPreso = false;
    }
}

FinestraAnalisi::FinestraAnalisi(const QString& nomeClasse)
    : Finestra(nomeClasse, QStringLiteral("Varnel - "), {0, 0, 10125, 6075},
               Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    creaMenu();
    setAcceptDrops(true);
}

FinestraAnalisi::~FinestraAnalisi()
{
    // A worker given up was told to stop, and sees it within a slice of its wait; the program's end
    // gives it that long rather than tearing down what it may still be using.
    const auto limite = std::chrono::steady_clock::now() + std::chrono::milliseconds(250);
    for (const auto& lavoro : m_abbandonati) {
        while (!lavoro->finito.load(std::memory_order_acquire) && std::chrono::steady_clock::now() < limite)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void FinestraAnalisi::costruisci(QWidget* area, double twipsPerPixel)
{
    // A window opened again starts from a clean state, so that its rebuilt chart and its state agree.
    m_stato = {};
    m_ultima.reset();
    m_grafico.costruisci(area, twipsPerPixel);
    std::vector<Controllo> righe = tabella();
    std::ranges::move(RigheComuni(), std::back_inserter(righe));
    const ControlliPerNome controlli = CostruisciControlli(righe, area, twipsPerPixel);
    m_controlli = {
        .Command1 = Prendi<QPushButton>(controlli, "Command1"),
        .Command2 = Prendi<QPushButton>(controlli, "Command2"),
        .Command3 = Prendi<QPushButton>(controlli, "Command3"),
        .Check1 = Prendi<QCheckBox>(controlli, "Check1"),
        .Text2 = Prendi<QPlainTextEdit>(controlli, "Text2"),
        .Image2 = Prendi<EtichettaCliccabile>(controlli, "Image2"),
        .Image4 = Prendi<EtichettaCliccabile>(controlli, "Image4"),
        .Label10 = Prendi<EtichettaCliccabile>(controlli, "Label10"),
        .Label11 = Prendi<EtichettaCliccabile>(controlli, "Label11"),
    };
    prendi(controlli);
    const Controlli& c = m_controlli;
    c.Command1->setFocus();

    connect(c.Command1, &QPushButton::clicked, this, &FinestraAnalisi::Command1_Click);
    connect(c.Command2, &QPushButton::clicked, this, &FinestraAnalisi::Command2_Click);
    connect(c.Command3, &QPushButton::clicked, this, &FinestraAnalisi::Command3_Click);
    connect(c.Check1, &QCheckBox::clicked, this, &FinestraAnalisi::Check1_Click);
    connect(c.Image2, &EtichettaCliccabile::clic, this, &FinestraAnalisi::Image2_Click);
    connect(c.Label10, &EtichettaCliccabile::clic, this, &FinestraAnalisi::Label10_Click);
    connect(c.Image4, &EtichettaCliccabile::clic, this, &FinestraAnalisi::Image4_Click);
    connect(c.Label11, &EtichettaCliccabile::clic, this, &FinestraAnalisi::Label11_Click);
    // F1 asks for the about window, as on the desktop; the window's shortcut goes with its controls.
    connect(new QShortcut(Qt::Key_F1, area), &QShortcut::activated, this, &FinestraAnalisi::Image4_Click);
    aggiornaMenu();
    aggiornaRiferimenti();
}

void FinestraAnalisi::dimenticaControlli()
{
    m_controlli = {};
    m_grafico = {};
}

void FinestraAnalisi::closeEvent(QCloseEvent* evento)
{
    // Closing the window cancels its analysis: the handler returns at once and leaves the closed window alone.
    if (m_attesa)
        m_attesa->termina(Attesa::Fine::Chiusa);
    Finestra::closeEvent(evento);
}

void FinestraAnalisi::avvisa(const QString& testo) { Avvisa(*this, testo); }

void FinestraAnalisi::Command1_Click()
{
    const Turno turno(*this);
    if (!turno)
        return;
    const auto r = richiesta();
    if (!r)
        return;
    const QString percorso = ScegliFile(*this);
    if (percorso.isEmpty() || chiusaInUso())
        return;
    analizza(Fonte{PercorsoDiSistema(percorso), {}}, *r);
}

void FinestraAnalisi::analizzaFile(const std::filesystem::path& percorso)
{
    const Turno turno(*this);
    if (!turno)
        return;
    if (const auto r = richiesta())
        analizza(Fonte{percorso, {}}, *r);
}

void FinestraAnalisi::analizza(const Fonte& fonte, const Richiesta& richiesta)
{
    const Selezioni selezioni = LeggiSelezioni(*this);
    const Criterio criterio = richiesta.criterio;
    QString descrizione;
    Lettura lettura;
    // Written by the worker, read once it has ended.
    const auto impronta = std::make_shared<ImprontaFile>();
    if (fonte.percorso.empty()) {
        descrizione = QStringLiteral("Analisi del testo negli appunti in corso");
        // The worker shares the text, never copies it: it only reads it.
        lettura = [testo = fonte.testo, criterio](Avanzamento& avanzamento) {
            return AnalizzaTesto(Utf16(testo), criterio, avanzamento);
        };
    } else {
        descrizione = QStringLiteral("Analisi di \"%1\" in corso").arg(PercorsoMostrato(fonte.percorso.filename()));
        lettura = [file = fonte.percorso, criterio, impronta](Avanzamento& avanzamento) {
            return AnalizzaFile(file, criterio, avanzamento, *impronta);
        };
    }
    const auto esito = analizzaConAvanzamento(descrizione, std::move(lettura));
    if (chiusaInUso())
        return;
    RipristinaSelezioni(selezioni);
    if (!esito.riuscito()) {
        if (esito.errore().motivo != Motivo::Annullata)
            avvisa(MessaggioErrore(PercorsoMostrato(fonte.percorso), esito.errore()));
        return;
    }
    if (richiesta.applica)
        richiesta.applica();
    m_stato.PercMax = 0;
    m_stato.Ottimizzato = 0;
    m_grafico.ripristinaAssi();
    m_controlli.Text2->clear();
    m_stato.Totale = Totale(esito.valore(), m_controlli.Check1->isChecked());
    MostraRisultati(esito.valore().conteggi);
    m_ultima = UltimaAnalisi{.percorso = fonte.percorso,
                             .impronta = *impronta,
                             .testo = fonte.testo,
                             .criterio = criterio,
                             .analisi = esito.valore(),
                             .totale = *m_stato.Totale,
                             .simboli = m_grafico.simboli()};
    aggiornaMenu();
    aggiornaRiferimenti();
    emit analisiRiuscita();
}

void FinestraAnalisi::apriDecifrazione()
{
    if (m_ultima)
        emit richiestaDecifrazione();
}

void FinestraAnalisi::MostraRisultati(const Conteggi& conteggi)
{
    const std::string separatore = QLocale().decimalPoint().toStdString();
    const Risultati risultati = CalcolaRisultati(m_grafico.simboli(), conteggi, m_stato.Totale.value_or(0), separatore);
    m_grafico.mostra(risultati);
    m_controlli.Text2->setPlainText(QString::fromStdString(risultati.riepilogo));
    m_stato.PercMax = risultati.percMax;
    m_stato.ConteggioMax = risultati.conteggioMax;
}

void FinestraAnalisi::Command2_Click()
{
    const Turno turno(*this);
    if (!turno)
        return;
    const auto stiramento = Stira(m_grafico.altezze(), m_stato);
    if (!stiramento)
        return;
    m_grafico.stira(*stiramento);
    m_stato.Ottimizzato = 1;
    aggiornaRiferimenti();
}

void FinestraAnalisi::Command3_Click()
{
    const Turno turno(*this);
    if (!turno)
        return;
    // The other window opens first, so that at no moment is no window open.
    emit richiestaAltraFinestra();
    close();
}

void FinestraAnalisi::Check1_Click()
{
    const Turno turno(*this);
    if (!turno)
        return;
    avvisa(QStringLiteral("Affinchè il programma tenga conto di questa opzione è necessario rieseguire l'analisi."));
}

void FinestraAnalisi::Image2_Click()
{
    const Turno turno(*this);
    if (!turno)
        return;
    close();
}

void FinestraAnalisi::Label10_Click()
{
    const Turno turno(*this);
    if (!turno)
        return;
    close();
}

void FinestraAnalisi::Image4_Click()
{
    const Turno turno(*this);
    if (!turno)
        return;
    emit richiestaInformazioni();
}

void FinestraAnalisi::Label11_Click()
{
    const Turno turno(*this);
    if (!turno)
        return;
    emit richiestaInformazioni();
}

}  // namespace varnel
