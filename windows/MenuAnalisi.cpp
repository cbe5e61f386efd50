// SPDX-License-Identifier: GPL-3.0-or-later
// What the analysis windows offer beyond their controls: the menu of the right button and its
// commands (reference markers, copy, CSV, picture, pasted text, deciphering, a new cryptogram), and
// files dropped on the window.
#include "FinestraAnalisi.h"

#include "Esportazione.h"
#include "Riferimento.h"
#include "Salvataggio.h"
#include "SceltaFile.h"

#include <QActionGroup>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QShortcut>

namespace varnel {

void FinestraAnalisi::creaMenu()
{
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("MenuAnalisi"));
    const auto azione = [](QMenu* menu, const QString& testo, const char* nome) {
        QAction* a = menu->addAction(testo);
        a->setObjectName(QLatin1String(nome));
        return a;
    };

    QMenu* riferimento = m_menu->addMenu(QStringLiteral("Frequenze di riferimento"));
    auto* scelte = new QActionGroup(this);
    m_riferimentoNessuno = azione(riferimento, QStringLiteral("Nessuna"), "RiferimentoNessuno");
    m_riferimentoItaliano = azione(riferimento, QStringLiteral("Italiano"), "RiferimentoItaliano");
    m_riferimentoInglese = azione(riferimento, QStringLiteral("Inglese"), "RiferimentoInglese");
    for (QAction* scelta : {m_riferimentoNessuno, m_riferimentoItaliano, m_riferimentoInglese}) {
        scelta->setCheckable(true);
        scelte->addAction(scelta);
        connect(scelta, &QAction::triggered, this, &FinestraAnalisi::scegliRiferimento);
    }
    m_riferimentoNessuno->setChecked(true);

    m_copia = azione(m_menu, QStringLiteral("Copia risultati"), "AzioneCopia");
    m_copia->setShortcut(QKeySequence::Copy);
    QAction* incolla = azione(m_menu, QStringLiteral("Analizza il testo negli appunti"), "AzioneIncolla");
    incolla->setShortcut(QKeySequence::Paste);
    m_esportaCsv = azione(m_menu, QStringLiteral("Esporta risultati (CSV)..."), "AzioneEsportaCsv");
    m_salvaGrafico = azione(m_menu, QStringLiteral("Salva grafico come immagine..."), "AzioneSalvaGrafico");
    m_decifrazione = azione(m_menu, QStringLiteral("Decifrazione..."), "AzioneDecifrazione");
    m_decifrazione->setShortcut(Qt::CTRL | Qt::Key_D);
    addAction(m_decifrazione);  // its shortcut works in the whole window, the menu closed
    connect(m_decifrazione, &QAction::triggered, this, &FinestraAnalisi::apriDecifrazione);
    QAction* crittogramma = azione(m_menu, QStringLiteral("Crea crittogramma..."), "AzioneCrittogramma");
    connect(crittogramma, &QAction::triggered, this, &FinestraAnalisi::richiestaCrittogramma);
    connect(m_copia, &QAction::triggered, this, &FinestraAnalisi::copiaRisultati);
    connect(incolla, &QAction::triggered, this, &FinestraAnalisi::analizzaAppunti);
    connect(m_esportaCsv, &QAction::triggered, this, &FinestraAnalisi::esportaCsv);
    connect(m_salvaGrafico, &QAction::triggered, this, &FinestraAnalisi::salvaGrafico);

    // The menu's shortcuts work in the whole window but in a text box, which keeps its own: an
    // editable one takes them first, and the read-only summary gets its copy here.
    connect(new QShortcut(QKeySequence::Copy, this), &QShortcut::activated, this, [this] {
        if (auto* riepilogo = qobject_cast<QPlainTextEdit*>(focusWidget()))
            riepilogo->copy();
        else if (m_copia->isEnabled())
            copiaRisultati();
    });
    connect(new QShortcut(QKeySequence::Paste, this), &QShortcut::activated, this, [this] {
        if (!fuocoInCasellaTesto())
            analizzaAppunti();
    });
    // Every platform turns the Menu key into a request to the focus widget for its menu, and
    // Windows' own does so with Shift+F10 too; elsewhere Shift+F10 asks here. A text box shows its
    // own edit menu; every other control hands the request on to the window.
    if (QGuiApplication::platformName() == QLatin1String("windows"))
        return;
    connect(new QShortcut(Qt::SHIFT | Qt::Key_F10, this), &QShortcut::activated, this, [this] {
        QWidget* fuoco = focusWidget() ? focusWidget() : this;
        const QPoint centro = fuoco->rect().center();
        QContextMenuEvent evento(QContextMenuEvent::Keyboard, centro, fuoco->mapToGlobal(centro));
        QApplication::sendEvent(fuoco, &evento);
    });
}

bool FinestraAnalisi::fuocoInCasellaTesto() const
{
    QWidget* fuoco = focusWidget();
    return qobject_cast<QPlainTextEdit*>(fuoco) || qobject_cast<QLineEdit*>(fuoco);
}

void FinestraAnalisi::contextMenuEvent(QContextMenuEvent* evento)
{
    // Reaches the window only from the controls that have no menu of their own. The command chosen
    // takes its turn as it starts.
    if (!s_turnoPreso)
        m_menu->exec(evento->globalPos());
}

void FinestraAnalisi::aggiornaMenu()
{
    const bool risultati = m_ultima.has_value();
    for (QAction* azione : {m_copia, m_esportaCsv, m_salvaGrafico, m_decifrazione})
        azione->setEnabled(risultati);
    // The symbols of the advanced window are no letters of a language.
    m_riferimentoItaliano->setEnabled(contaLettere());
    m_riferimentoInglese->setEnabled(contaLettere());
}

void FinestraAnalisi::aggiornaRiferimenti()
{
    if (!m_riferimento) {
        m_grafico.nascondiRiferimenti();
        return;
    }
    const Conteggi conteggi = m_ultima ? m_ultima->analisi.conteggi : Conteggi{};
    const Grafico::Legenda legenda{.barre = nomeAnalizzato(),
                                   .segni = *m_riferimento == Lingua::Italiano
                                                ? QStringLiteral("Frequenze dell'italiano")
                                                : QStringLiteral("Frequenze dell'inglese")};
    m_grafico.mostraRiferimenti(PercentualiRiferimento(*m_riferimento, conteggi, m_stato.Totale.value_or(0)), m_stato,
                                legenda);
}

void FinestraAnalisi::scegliRiferimento()
{
    if (m_riferimentoItaliano->isChecked())
        m_riferimento = Lingua::Italiano;
    else if (m_riferimentoInglese->isChecked())
        m_riferimento = Lingua::Inglese;
    else
        m_riferimento.reset();
    aggiornaRiferimenti();
}

void FinestraAnalisi::copiaRisultati()
{
    const Turno turno(*this);
    if (!turno || !m_ultima)
        return;
    const std::string separatore = QLocale().decimalPoint().toStdString();
    const std::string tabella = TabellaRisultati(
        m_ultima->simboli, m_ultima->analisi.conteggi, m_ultima->totale,
        {.separatoreCampi = "\t", .separatoreDecimale = separatore, .fineRiga = "\n"});
    QGuiApplication::clipboard()->setText(QString::fromStdString(tabella));
}

void FinestraAnalisi::analizzaAppunti()
{
    const Turno turno(*this);
    if (!turno)
        return;
    const QMimeData* dati = QGuiApplication::clipboard()->mimeData();
    const QString testo = dati && dati->hasText() ? dati->text() : QString();
    if (testo.isEmpty()) {
        avvisa(QStringLiteral("Gli appunti non contengono testo."));
        return;
    }
    if (const auto r = richiesta())
        analizza(Fonte{{}, testo}, *r);
}

QString FinestraAnalisi::nomeAnalizzato() const
{
    if (!m_ultima)
        return {};
    return m_ultima->percorso.empty() ? QStringLiteral("testo degli appunti")
                                      : QFileInfo(PercorsoMostrato(m_ultima->percorso)).fileName();
}

QString FinestraAnalisi::propostaSalvataggio(const QString& finale) const
{
    if (!m_ultima || m_ultima->percorso.empty())
        return QDir::home().filePath(QStringLiteral("appunti") + finale);
    const QFileInfo file(PercorsoMostrato(m_ultima->percorso));
    return file.dir().filePath(file.completeBaseName() + finale);
}

void FinestraAnalisi::salva(const QString& filtro, const QString& finale, std::string_view contenuto)
{
    const QString percorso = ScegliFileDaSalvare(*this, filtro, propostaSalvataggio(finale));
    if (percorso.isEmpty() || chiusaInUso())
        return;
    (void)SalvaFile(*this, percorso, contenuto);
}

void FinestraAnalisi::esportaCsv()
{
    const Turno turno(*this);
    if (!turno || !m_ultima)
        return;
    const std::string separatore = QLocale().decimalPoint().toStdString();
    const std::string csv = std::string(BomUtf8)
                            + TabellaRisultati(m_ultima->simboli, m_ultima->analisi.conteggi, m_ultima->totale,
                                               FormatoCsv(separatore));
    salva(QStringLiteral("File CSV (*.csv)"), QStringLiteral("-frequenze.csv"), csv);
}

void FinestraAnalisi::salvaGrafico()
{
    const Turno turno(*this);
    if (!turno || !m_ultima)
        return;
    QByteArray png;
    QBuffer memoria(&png);
    memoria.open(QIODevice::WriteOnly);
    if (!m_grafico.immagine(2 * devicePixelRatioF(), QStringLiteral("Frequenze in \"%1\"").arg(nomeAnalizzato())).save(&memoria, "PNG"))
        return avvisa(QStringLiteral("Impossibile creare l'immagine del grafico."));
    salva(QStringLiteral("Immagine PNG (*.png)"), QStringLiteral("-grafico.png"),
          std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
}

void FinestraAnalisi::dragEnterEvent(QDragEnterEvent* evento)
{
    // While a command runs, an analysis among them, nothing is taken.
    if (!s_turnoPreso && evento->mimeData()->hasUrls())
        evento->acceptProposedAction();
}

void FinestraAnalisi::dropEvent(QDropEvent* evento)
{
    const Turno turno(*this);
    if (!turno || !evento->mimeData()->hasUrls())
        return;
    evento->acceptProposedAction();
    const QList<QUrl> indirizzi = evento->mimeData()->urls();
    if (indirizzi.size() != 1) {
        avvisa(QStringLiteral("Trascinare un solo file alla volta."));
        return;
    }
    if (!indirizzi.constFirst().isLocalFile()) {
        avvisa(QStringLiteral("Si possono analizzare solo i file che si trovano su questo computer."));
        return;
    }
    const std::filesystem::path percorso = PercorsoDaIndirizzo(indirizzi.constFirst());
    std::error_code errore;
    if (std::filesystem::is_directory(percorso, errore)) {
        avvisa(QStringLiteral("Trascinare un file, non una cartella."));
        return;
    }
    if (const auto r = richiesta())
        analizza(Fonte{percorso, {}}, *r);
}

}  // namespace varnel
