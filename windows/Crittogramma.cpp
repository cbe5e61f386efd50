// SPDX-License-Identifier: GPL-3.0-or-later
#include "Crittogramma.h"

#include "ChiaveInLavoro.h"
#include "Salvataggio.h"
#include "SceltaFile.h"
#include "SchedaPdf.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>

namespace varnel {

namespace {

constexpr int SemeMassimo = 999'999;  // six digits, easy to write down

QString TestoAlfabeto(const Alfabeto& alfabeto) { return QString::fromLatin1(alfabeto.data(), NumeroSlot); }

QLabel* Didascalia(const QString& testo, QWidget* controllo)
{
    auto* etichetta = new QLabel(testo);
    etichetta->setBuddy(controllo);
    controllo->setAccessibleName(QString(testo).remove(QLatin1Char('&')).remove(QLatin1Char(':')));
    return etichetta;
}

}  // namespace

Crittogramma::Crittogramma()
{
    setObjectName(QStringLiteral("Crittogramma"));
    setWindowTitle(QStringLiteral("Crea crittogramma"));
    auto* pila = new QVBoxLayout(this);

    m_testo = new QPlainTextEdit;
    m_testo->setObjectName(QStringLiteral("TestoInChiaro"));
    m_testo->setTabChangesFocus(true);
    m_testo->setPlaceholderText(
        QStringLiteral("Scrivere o incollare qui il testo da cifrare, oppure aprirlo da un file."));
    auto* apri = new QPushButton(QStringLiteral("&Apri testo..."));
    apri->setObjectName(QStringLiteral("ApriTesto"));
    connect(apri, &QPushButton::clicked, this, &Crittogramma::apriTesto);
    auto* riga = new QHBoxLayout;
    riga->addWidget(Didascalia(QStringLiteral("&Testo in chiaro:"), m_testo), 1);
    riga->addWidget(apri);
    pila->addLayout(riga);
    pila->addWidget(m_testo, 1);
    connect(m_testo, &QPlainTextEdit::textChanged, this, &Crittogramma::cifra);

    auto* chiave = new QGroupBox(QStringLiteral("Chiave"));
    costruisciChiave(chiave);
    pila->addWidget(chiave);

    m_spazi = new QComboBox;
    m_spazi->setObjectName(QStringLiteral("Spazi"));
    m_spazi->addItems({QStringLiteral("Mantieni spazi e punteggiatura"), QStringLiteral("Togli spazi e punteggiatura"),
                       QStringLiteral("Gruppi di cinque lettere")});
    m_accenti = new QCheckBox(QStringLiteral("Togli gli acce&nti (à si cifra come a)"));
    m_accenti->setObjectName(QStringLiteral("Accenti"));
    m_accenti->setChecked(true);
    auto* opzioni = new QHBoxLayout;
    opzioni->addWidget(Didascalia(QStringLiteral("&Spazi:"), m_spazi));
    opzioni->addWidget(m_spazi);
    opzioni->addSpacing(12);
    opzioni->addWidget(m_accenti);
    opzioni->addStretch(1);
    pila->addLayout(opzioni);
    connect(m_spazi, &QComboBox::currentIndexChanged, this, &Crittogramma::cifra);
    connect(m_accenti, &QCheckBox::toggled, this, &Crittogramma::cifra);

    m_cifrato = new QPlainTextEdit;
    m_cifrato->setObjectName(QStringLiteral("Cifrato"));
    m_cifrato->setReadOnly(true);
    m_cifrato->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_cifrato->setTabChangesFocus(true);
    m_cifrato->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    pila->addWidget(Didascalia(QStringLiteral("Testo &cifrato:"), m_cifrato));
    pila->addWidget(m_cifrato, 1);

    auto* pulsanti = new QWidget;
    costruisciPulsanti(pulsanti);
    pila->addWidget(pulsanti);
    chiaveCasuale();
    resize(720, 520);
}

Crittogramma::~Crittogramma() = default;

void Crittogramma::costruisciChiave(QWidget* pannello)
{
    auto* griglia = new QGridLayout(pannello);
    m_parola = new QLineEdit;
    m_parola->setObjectName(QStringLiteral("Parola"));
    m_casuale = new QPushButton(QStringLiteral("Chiave casua&le"));
    m_casuale->setObjectName(QStringLiteral("ChiaveCasuale"));
    m_seme = new QSpinBox;
    m_seme->setObjectName(QStringLiteral("Seme"));
    m_seme->setRange(0, SemeMassimo);
    m_chiave = new QLineEdit;
    m_chiave->setObjectName(QStringLiteral("Chiave"));
    m_chiave->setMaxLength(static_cast<int>(NumeroSlot));
    m_chiave->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_origine = new QLabel;
    m_origine->setObjectName(QStringLiteral("OrigineChiave"));
    m_origine->setWordWrap(true);

    griglia->addWidget(Didascalia(QStringLiteral("&Parola chiave"), m_parola), 0, 0);
    griglia->addWidget(m_parola, 0, 1);
    griglia->addWidget(m_casuale, 0, 2);
    griglia->addWidget(Didascalia(QStringLiteral("S&eme:"), m_seme), 0, 3);
    griglia->addWidget(m_seme, 0, 4);
    griglia->addWidget(Didascalia(QStringLiteral("C&hiave (per a, b, c … z):"), m_chiave), 1, 0);
    griglia->addWidget(m_chiave, 1, 1, 1, 4);
    griglia->addWidget(m_origine, 2, 0, 1, 5);
    griglia->setColumnStretch(1, 1);
    m_parola->setAccessibleName(QStringLiteral("Parola chiave"));
    m_chiave->setAccessibleName(QStringLiteral("Chiave: le lettere cifrate per a, b, c fino a z"));

    connect(m_parola, &QLineEdit::textEdited, this, &Crittogramma::parolaCambiata);
    connect(m_casuale, &QPushButton::clicked, this, &Crittogramma::chiaveCasuale);
    connect(m_seme, &QSpinBox::valueChanged, this, &Crittogramma::semeCambiato);
    connect(m_chiave, &QLineEdit::textEdited, this, &Crittogramma::chiaveScritta);
}

void Crittogramma::costruisciPulsanti(QWidget* pannello)
{
    auto* riga = new QHBoxLayout(pannello);
    riga->setContentsMargins(0, 0, 0, 0);
    m_frequenze = new QCheckBox(QStringLiteral("&Frequenze nella scheda"));
    m_frequenze->setObjectName(QStringLiteral("Frequenze"));
    m_frequenze->setToolTip(
        QStringLiteral("La scheda mostra le frequenze delle lettere del testo cifrato e dell'italiano."));
    riga->addWidget(m_frequenze);
    riga->addStretch(1);
    const auto pulsante = [&](const char* nome, const QString& testo, void (Crittogramma::*slot)()) {
        auto* p = new QPushButton(testo);
        p->setObjectName(QLatin1String(nome));
        p->setAccessibleName(QString(testo).remove(QStringLiteral("...")));
        p->setAutoDefault(true);
        connect(p, &QPushButton::clicked, this, slot);
        riga->addWidget(p);
        return p;
    };
    m_salvaCrittogramma = pulsante("SalvaCrittogramma", QStringLiteral("Salva crittogramma..."),
                                   &Crittogramma::salvaCrittogramma);
    m_salvaChiave = pulsante("SalvaChiave", QStringLiteral("Salva chiave..."), &Crittogramma::salvaChiave);
    m_salvaScheda = pulsante("SalvaScheda", QStringLiteral("Salva scheda (PDF)..."), &Crittogramma::salvaScheda);
}

void Crittogramma::apri()
{
    if (!isVisible()) {
        // Within the screen's free area, however small, as the windows that open it are.
        const QRect area = (screen() ? screen() : QGuiApplication::primaryScreen())->availableGeometry();
        resize(size().boundedTo(area.size() * 0.9).expandedTo(minimumSizeHint()));
        move(area.center() - rect().center());
    }
    show();
    raise();
    activateWindow();
}

void Crittogramma::apriTesto()
{
    const QString percorso = ScegliFile(*this);
    if (percorso.isEmpty())
        return;
    const QFileInfo file(percorso);
    const QString nome = QDir::toNativeSeparators(percorso);
    if (!file.isFile()) {
        Avvisa(*this, QStringLiteral("\"%1\" non è un file di testo.").arg(nome));
        return;
    }
    if (static_cast<std::uint64_t>(file.size()) > MassimoTestoInChiaro) {
        Avvisa(*this, QStringLiteral("Il file \"%1\" è troppo lungo per un crittogramma: si possono aprire file "
                                     "fino a 1 MB.")
                          .arg(nome));
        return;
    }
    const auto testo = LeggiTestoInChiaro(PercorsoDiSistema(percorso));
    if (!testo.riuscito()) {
        Avvisa(*this, QStringLiteral("Impossibile leggere il file \"%1\": controllare che esista e che si abbiano i "
                                     "permessi per leggerlo.")
                          .arg(nome));
        return;
    }
    m_file = percorso;
    m_testo->setPlainText(QString::fromStdU32String(testo.valore()));
}

void Crittogramma::chiaveCasuale()
{
    const int seme = static_cast<int>(QRandomGenerator::global()->bounded(SemeMassimo + 1));
    if (seme == m_seme->value())
        semeCambiato();
    else
        m_seme->setValue(seme);  // comes back through semeCambiato
}

void Crittogramma::semeCambiato()
{
    impostaAlfabeto(
        AlfabetoCasuale(static_cast<std::uint64_t>(m_seme->value())),
        QStringLiteral("Chiave casuale dal seme %1: lo stesso seme dà sempre la stessa chiave.").arg(m_seme->value()));
}

void Crittogramma::parolaCambiata()
{
    const QString parola = m_parola->text().trimmed();
    if (!parola.isEmpty())
        impostaAlfabeto(AlfabetoDaParola(parola.toStdU32String()),
                        QStringLiteral("Chiave dalla parola chiave \"%1\".").arg(parola));
}

void Crittogramma::chiaveScritta()
{
    m_alfabeto = AlfabetoDaTesto(m_chiave->text().toStdU32String());
    m_origine->setText(m_alfabeto ? QStringLiteral("Chiave scritta a mano.")
                                  : QStringLiteral("La chiave non è completa: servono le 26 lettere, ciascuna una "
                                                   "volta sola."));
    cifra();
}

void Crittogramma::impostaAlfabeto(const Alfabeto& alfabeto, const QString& origine)
{
    m_alfabeto = alfabeto;
    m_chiave->setText(TestoAlfabeto(alfabeto));
    m_origine->setText(origine);
    cifra();
}

void Crittogramma::cifra()
{
    m_risultato = {};
    if (m_alfabeto) {
        const OpzioniCrittogramma opzioni{.spazi = static_cast<Spazi>(m_spazi->currentIndex()),
                                          .togliAccenti = m_accenti->isChecked()};
        m_risultato = Cifra(m_testo->toPlainText().toStdU32String(), *m_alfabeto, opzioni);
    }
    m_cifrato->setPlainText(QString::fromStdU32String(m_risultato.cifrato));
    const bool testo = !m_risultato.cifrato.empty();
    m_salvaCrittogramma->setEnabled(testo);
    m_salvaScheda->setEnabled(testo);
    m_salvaChiave->setEnabled(m_alfabeto.has_value());
}

QString Crittogramma::proposta(const QString& finale) const
{
    if (m_file.isEmpty())
        return QDir::home().filePath(QStringLiteral("testo") + finale);
    const QFileInfo file(m_file);
    return file.dir().filePath(file.completeBaseName() + finale);
}

void Crittogramma::salvaCrittogramma()
{
    const QString percorso = ScegliFileDaSalvare(*this, QStringLiteral("File di testo (*.txt)"),
                                                 proposta(QStringLiteral("-crittogramma.txt")));
    if (percorso.isEmpty())
        return;
    const QByteArray testo = (QString::fromStdU32String(m_risultato.cifrato) + u'\n').toUtf8();
    SalvaFile(*this, percorso, std::string_view(testo.constData(), static_cast<std::size_t>(testo.size())));
}

void Crittogramma::salvaChiave()
{
    if (!m_alfabeto)
        return;
    const QString percorso = ScegliFileDaSalvare(*this, QStringLiteral("File di testo (*.txt)"),
                                                 proposta(QStringLiteral("-chiave.txt")));
    if (!percorso.isEmpty())
        SalvaFile(*this, percorso, ScriviChiave(ChiaveDi(*m_alfabeto), ModoLettere::Maiuscole));
}

void Crittogramma::salvaScheda()
{
    if (!m_alfabeto)
        return;
    const QString percorso = ScegliFileDaSalvare(*this, QStringLiteral("Documento PDF (*.pdf)"),
                                                 proposta(QStringLiteral("-scheda.pdf")));
    if (percorso.isEmpty())
        return;
    const QByteArray pdf = SchedaPdf({.testo = m_risultato,
                                      .alfabeto = *m_alfabeto,
                                      .origine = m_origine->text(),
                                      .frequenze = m_frequenze->isChecked()});
    SalvaFile(*this, percorso, std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())));
}

}  // namespace varnel
