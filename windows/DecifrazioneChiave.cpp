// SPDX-License-Identifier: GPL-3.0-or-later
// The deciphering window's key by hand: its boxes, its history, what it leaves free, and the key
// kept in a file.
#include "CasellaChiave.h"
#include "Decifrazione.h"
#include "Salvataggio.h"
#include "SceltaFile.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QRegularExpressionValidator>

namespace varnel {

namespace {

QString NomeModifica(Modifica modifica)
{
    switch (modifica) {
    case Modifica::Digitata: return QStringLiteral("lettera digitata");
    case Modifica::Cancellata: return QStringLiteral("lettera cancellata");
    case Modifica::Incollata: return QStringLiteral("chiave incollata");
    case Modifica::PerFrequenza: return QStringLiteral("chiave per frequenza");
    case Modifica::Proposta: return QStringLiteral("chiave proposta");
    case Modifica::Azzerata: return QStringLiteral("azzeramento");
    case Modifica::Caricata: return QStringLiteral("chiave aperta");
    }
    return {};
}

}  // namespace

QMenuBar* Decifrazione::costruisciMenu()
{
    auto* barra = new QMenuBar;
    const auto voce = [&](QMenu* menu, const QString& testo, const char* nome, void (Decifrazione::*slot)(),
                          const QList<QKeySequence>& tasti = {}) {
        QAction* azione = menu->addAction(testo);
        azione->setObjectName(QLatin1String(nome));
        azione->setShortcuts(tasti);
        addAction(azione);  // its shortcut works wherever the focus is in the window
        connect(azione, &QAction::triggered, this, slot);
        return azione;
    };
    QMenu* chiave = barra->addMenu(QStringLiteral("C&hiave"));
    chiave->setObjectName(QStringLiteral("MenuChiave"));
    voce(chiave, QStringLiteral("&Apri chiave..."), "AzioneApriChiave", &Decifrazione::apriChiave,
         {QKeySequence(Qt::ControlModifier | Qt::Key_O)});
    voce(chiave, QStringLiteral("&Salva chiave..."), "AzioneSalvaChiave", &Decifrazione::salvaChiave,
         {QKeySequence(Qt::ControlModifier | Qt::Key_S)});
    voce(chiave, QStringLiteral("&Copia chiave"), "AzioneCopiaChiave", &Decifrazione::copiaChiave);
    chiave->addSeparator();
    voce(chiave, QStringLiteral("Salva &testo decifrato..."), "AzioneSalvaTesto", &Decifrazione::salvaTesto);
    voce(chiave, QStringLiteral("Crea crittogramma..."), "AzioneCrittogramma", &Decifrazione::richiestaCrittogramma);
    QMenu* modifica = barra->addMenu(QStringLiteral("&Modifica"));
    modifica->setObjectName(QStringLiteral("MenuModifica"));
    m_annulla = voce(modifica, QStringLiteral("&Annulla"), "AzioneAnnulla", &Decifrazione::annulla,
                     {QKeySequence(Qt::ControlModifier | Qt::Key_Z)});
    m_ripeti = voce(modifica, QStringLiteral("&Ripeti"), "AzioneRipeti", &Decifrazione::ripeti,
                    {QKeySequence(Qt::ControlModifier | Qt::Key_Y),
                     QKeySequence(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z)});
    return barra;
}

void Decifrazione::costruisciChiave(QWidget* pannello)
{
    auto* griglia = new QGridLayout(pannello);
    griglia->setContentsMargins(0, 0, 0, 0);
    auto* titolo = new QLabel(QStringLiteral("Chiave (simbolo cifrato → lettera in chiaro):"));
    griglia->addWidget(titolo, 0, 0, 1, CaselleRiga);
    // Only what is not typed reaches a box's text: a cut, or an assistive technology setting it.
    const auto* validatore = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[A-Za-z]?")), this);
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        const int riga = 1 + 2 * (static_cast<int>(k) / CaselleRiga);
        const int colonna = static_cast<int>(k) % CaselleRiga;
        m_simboli[k] = new QLabel;
        m_simboli[k]->setAlignment(Qt::AlignCenter);
        m_simboli[k]->setTextFormat(Qt::PlainText);
        m_chiave[k] = new CasellaChiave(k);
        m_chiave[k]->setValidator(validatore);
        m_simboli[k]->setBuddy(m_chiave[k]);
        connect(m_chiave[k], &CasellaChiave::digitata, this, &Decifrazione::digitaLettera);
        connect(m_chiave[k], &CasellaChiave::cancellata, this, &Decifrazione::cancellaLettera);
        connect(m_chiave[k], &CasellaChiave::spostamento, this, &Decifrazione::spostaCursore);
        connect(m_chiave[k], &CasellaChiave::incollata, this, &Decifrazione::incollaChiave);
        connect(m_chiave[k], &QLineEdit::textChanged, this, [this, k](const QString& testo) {
            if (m_caricaChiave)
                return;
            Chiave nuova = chiave();
            const char16_t c = testo.isEmpty() ? 0 : testo[0].toLower().unicode();
            nuova[k] = c >= u'a' && c <= u'z' ? static_cast<char>(c) : char{0};
            impostaChiave(nuova, nuova[k] ? Modifica::Digitata : Modifica::Cancellata);
        });
        griglia->addWidget(m_simboli[k], riga, colonna);
        griglia->addWidget(m_chiave[k], riga + 1, colonna);
    }
    m_lettereLibere = new QLabel;
    m_lettereLibere->setObjectName(QStringLiteral("LettereLibere"));
    m_simboliLiberi = new QLabel;
    m_simboliLiberi->setObjectName(QStringLiteral("SimboliLiberi"));
    auto* libere = new QHBoxLayout;
    for (QLabel* elenco : {m_lettereLibere, m_simboliLiberi}) {
        elenco->setTextFormat(Qt::PlainText);
        elenco->setWordWrap(true);
        elenco->setTextInteractionFlags(Qt::TextSelectableByMouse);
        libere->addWidget(elenco, 1);
    }
    griglia->addLayout(libere, griglia->rowCount(), 0, 1, CaselleRiga);
}

void Decifrazione::digitaLettera(std::size_t slot, char lettera)
{
    if (slot >= NumeroSlot)
        return;
    Chiave nuova = chiave();
    nuova[slot] = lettera;
    impostaChiave(nuova, Modifica::Digitata);
    vaiACasella(slot + 1);
}

void Decifrazione::cancellaLettera(std::size_t slot, bool indietro)
{
    Chiave nuova = chiave();
    nuova[slot] = 0;
    impostaChiave(nuova, Modifica::Cancellata);
    if (indietro && slot > 0)
        vaiACasella(slot - 1);
}

void Decifrazione::spostaCursore(std::size_t slot, int passo)
{
    const auto verso = static_cast<std::ptrdiff_t>(slot) + passo;
    if (verso >= 0 && verso < static_cast<std::ptrdiff_t>(NumeroSlot))
        vaiACasella(static_cast<std::size_t>(verso));
}

void Decifrazione::vaiACasella(std::size_t slot)
{
    CasellaChiave* casella = m_chiave[std::min(slot, NumeroSlot - 1)];
    casella->setFocus(Qt::OtherFocusReason);
    casella->selectAll();  // what a letter typed will replace
}

void Decifrazione::incollaChiave(std::size_t slot)
{
    const auto incollato = Incolla(QApplication::clipboard()->text().toStdString(), m_dati.criterio, chiave(), slot);
    if (!incollato.riuscito()) {
        avvisa(QStringLiteral("Gli appunti non contengono una chiave: %1.")
                   .arg(QString::fromStdString(incollato.errore().dettaglio)));
        return;
    }
    impostaChiave(incollato.valore().chiave, Modifica::Incollata);
    vaiACasella(incollato.valore().casella);
}

void Decifrazione::impostaChiave(const Chiave& nuova, Modifica perche)
{
    m_storia.cambia(nuova, perche);
    mostraChiave();  // also when the key stays: a box may show what it does not hold
}

void Decifrazione::mostraChiave()
{
    m_caricaChiave = true;
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        const QString testo = chiave()[k] ? QString(QLatin1Char(chiave()[k])) : QString();
        if (m_chiave[k]->text() != testo)
            m_chiave[k]->setText(testo);
    }
    m_caricaChiave = false;
    chiaveCambiata();
}

void Decifrazione::annulla()
{
    if (m_storia.annulla())
        mostraChiave();
}

void Decifrazione::ripeti()
{
    if (m_storia.ripeti())
        mostraChiave();
}

void Decifrazione::mostraStoria()
{
    const auto annullabile = m_storia.daAnnullare();
    const auto ripetibile = m_storia.daRipetere();
    m_annulla->setEnabled(annullabile.has_value());
    m_annulla->setText(annullabile ? QStringLiteral("&Annulla %1").arg(NomeModifica(*annullabile))
                                   : QStringLiteral("&Annulla"));
    m_ripeti->setEnabled(ripetibile.has_value());
    m_ripeti->setText(ripetibile ? QStringLiteral("&Ripeti %1").arg(NomeModifica(*ripetibile))
                                 : QStringLiteral("&Ripeti"));
}

void Decifrazione::marcaDoppioni()
{
    const InsiemeSlot doppi = Doppioni(chiave());
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        if (m_chiave[k]->property("doppione").toBool() == doppi[k])
            continue;  // a style sheet costs a restyle: only where the mark changes
        m_chiave[k]->setProperty("doppione", doppi[k]);
        // The dashed border and the bold letter tell it without colour.
        m_chiave[k]->setStyleSheet(
            doppi[k] ? QStringLiteral("QLineEdit { background: #ffb0b0; color: black; font-weight: bold;"
                                      " border: 2px dashed #a00000; }")
                     : QString());
        m_chiave[k]->setAccessibleDescription(
            doppi[k] ? QStringLiteral("Attenzione: la lettera %1 è data anche a un altro simbolo")
                           .arg(QLatin1Char(chiave()[k]))
                     : QString());
    }
}

void Decifrazione::mostraLibere()
{
    const InsiemeSlot lettere = LettereNonUsate(chiave());
    const InsiemeSlot simboli = SimboliSenzaLettera(chiave());
    const InsiemeSlot doppi = Doppioni(chiave());
    InsiemeSlot lettereDoppie;
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        if (doppi[k])
            lettereDoppie.set(static_cast<std::size_t>(chiave()[k] - 'a'));
    }
    QStringList nonUsate;
    QStringList senzaLettera;
    QStringList date;
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        const QString lettera(QLatin1Char(static_cast<char>('a' + k)));
        if (lettere[k])
            nonUsate << lettera;
        if (simboli[k])
            senzaLettera << simbolo(k);
        if (lettereDoppie[k])
            date << lettera;
    }
    QString testo = QStringLiteral("Lettere in chiaro non usate: %1")
                        .arg(nonUsate.isEmpty() ? QStringLiteral("nessuna") : nonUsate.join(u' '));
    if (!date.isEmpty())
        testo += QStringLiteral(" — date a più simboli: %1").arg(date.join(u' '));
    m_lettereLibere->setText(testo);
    m_simboliLiberi->setText(QStringLiteral("Simboli cifrati senza lettera: %1")
                                 .arg(senzaLettera.isEmpty() ? QStringLiteral("nessuno") : senzaLettera.join(u' ')));
}

void Decifrazione::salvaChiave()
{
    const bool appunti = m_dati.percorso.empty();
    const QFileInfo analizzato(PercorsoMostrato(m_dati.percorso));
    const QString proposto = appunti ? QDir::home().filePath(QStringLiteral("chiave.txt"))
                                     : analizzato.dir().filePath(analizzato.completeBaseName()
                                                                 + QStringLiteral("-chiave.txt"));
    const QString destinazione = ScegliFileDaSalvare(*this, QStringLiteral("Chiavi di Varnel (*.txt)"), proposto);
    if (!destinazione.isEmpty())
        SalvaFile(*this, destinazione, ScriviChiave(chiave(), m_dati.criterio));
}

void Decifrazione::apriChiave()
{
    const QString percorso = ScegliFile(*this);
    if (percorso.isEmpty())
        return;
    const QString nome = QFileInfo(percorso).fileName();
    QFile file(percorso);
    if (!file.open(QIODevice::ReadOnly)) {
        avvisa(QStringLiteral("Impossibile aprire \"%1\": %2.").arg(nome, file.errorString()));
        return;
    }
    const QByteArray inizio = file.read(static_cast<qint64>(LimiteFileChiave) + 1);
    const auto letta = LeggiFileChiave(inizio.toStdString(), m_dati.criterio);
    if (!letta.riuscito()) {
        avvisa(QStringLiteral("\"%1\" non è una chiave di Varnel: %2. La chiave non è cambiata.")
                   .arg(nome, QString::fromStdString(letta.errore().dettaglio)));
        return;
    }
    impostaChiave(letta.valore(), Modifica::Caricata);
}

}  // namespace varnel
