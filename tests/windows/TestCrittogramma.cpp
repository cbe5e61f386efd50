// SPDX-License-Identifier: GPL-3.0-or-later
// The cryptogram window: opened from the menus, its keys and options, and the three files it saves.
#include "AiutiFinestre.h"
#include "ChiaveInLavoro.h"
#include "Crittogramma.h"
#include "Decifrazione.h"

#include <QAction>
#include <QComboBox>
#include <QProcess>
#include <QSpinBox>
#include <QStandardPaths>

namespace varnel::prova {
namespace {

class Crittogrammi : public Programma {
protected:
    Crittogramma& apri()
    {
        Azione(varnel(), "AzioneCrittogramma")->trigger();
        return registro.crittogramma();
    }
    static QString Cifrato(const Crittogramma& w) { return Testo(w, "Cifrato"); }
    static void Scrivi(QWidget* casella, const QString& testo)
    {
        casella->setFocus();
        QTest::keyClicks(casella, testo);
    }
};

TEST_F(Crittogrammi, OpensFromEveryWindowsMenuWithItsControls)
{
    // The menu entries' texts and states are checked with the rest of the menu.
    registro.avanzata().apri();
    Crittogramma& w = registro.crittogramma();
    for (const QWidget* finestra :
         std::initializer_list<const QWidget*>{&varnel(), &registro.avanzata(), &registro.decifrazione()}) {
        w.close();
        finestra->findChild<QAction*>("AzioneCrittogramma")->trigger();
        EXPECT_TRUE(w.isVisible()) << finestra->objectName().toStdString();
    }
    EXPECT_EQ(Trova<QLineEdit>(w, "Parola")->accessibleName(), "Parola chiave");
    QStringList pulsanti;
    for (const char* nome : {"SalvaCrittogramma", "SalvaChiave", "SalvaScheda"})
        pulsanti << Trova<QPushButton>(w, nome)->text();
    EXPECT_EQ(pulsanti.join('|'), "Salva crittogramma...|Salva chiave...|Salva scheda (PDF)...");
    EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(w.frameGeometry()));
}

TEST_F(Crittogrammi, KeysFromAKeywordASeedOrTypedEncipherTheTextUnderTheOptions)
{
    Crittogramma& w = apri();
    Trova<QPlainTextEdit>(w, "TestoInChiaro")->setPlainText(QStringLiteral("Più città, meno auto"));
    Scrivi(Trova(w, "Parola"), QStringLiteral("zebra"));
    EXPECT_EQ(Trova<QLineEdit>(w, "Chiave")->text(), "ZEBRACDFGHIJKLMNOPQSTUVWXY");
    EXPECT_EQ(Cifrato(w), "NGT BGSSZ, KALM ZTSM");

    struct Caso {
        int spazi;
        bool togliAccenti;
        QString cifrato;
    };
    for (const Caso& caso : {Caso{0, false, "NGÙ BGSSÀ, KALM ZTSM"}, Caso{1, true, "NGTBGSSZKALMZTSM"},
                             Caso{2, true, "NGTBG SSZKA LMZTS M"}}) {
        Trova<QComboBox>(w, "Spazi")->setCurrentIndex(caso.spazi);
        Trova<QCheckBox>(w, "Accenti")->setChecked(caso.togliAccenti);
        EXPECT_EQ(Cifrato(w), caso.cifrato);
    }

    // A seed gives its key again; a new draw changes it.
    Trova<QSpinBox>(w, "Seme")->setValue(42);
    EXPECT_EQ(Trova<QLineEdit>(w, "Chiave")->text(), "BADHUVNFOWLCRIMGPKQJSTYEZX");
    EXPECT_TRUE(Trova<QLabel>(w, "OrigineChiave")->text().contains("42"));
    Clic(Trova<QPushButton>(w, "ChiaveCasuale"));
    EXPECT_NE(Trova<QLineEdit>(w, "Chiave")->text(), "BADHUVNFOWLCRIMGPKQJSTYEZX");

    // A typed key counts once it holds every letter once; until then nothing can be saved.
    auto* chiave = Trova<QLineEdit>(w, "Chiave");
    chiave->clear();
    Scrivi(chiave, QStringLiteral("qwertyuiopasdfghjklzxcvbn"));
    EXPECT_EQ(Cifrato(w), "");
    EXPECT_FALSE(Trova<QPushButton>(w, "SalvaChiave")->isEnabled());
    EXPECT_FALSE(Trova<QPushButton>(w, "SalvaScheda")->isEnabled());
    Scrivi(chiave, QStringLiteral("m"));
    EXPECT_TRUE(Trova<QPushButton>(w, "SalvaChiave")->isEnabled());
    EXPECT_EQ(Cifrato(w).left(5), "HOXEO");
}

// The text of a PDF page by page as poppler-utils reads it, row by row and blanks dropped; nothing
// without them.
std::optional<QStringList> TestoPdf(const QString& percorso)
{
    const QString programma = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (programma.isEmpty())
        return std::nullopt;
    QProcess pdftotext;
    pdftotext.start(programma, {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), percorso,
                                QStringLiteral("-")});
    EXPECT_TRUE(pdftotext.waitForFinished(30000));
    QStringList pagine = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(u'\f');
    if (pagine.size() > 1 && pagine.last().trimmed().isEmpty())
        pagine.removeLast();
    for (QString& pagina : pagine)
        pagina.remove(QRegularExpression(QStringLiteral("\\s")));
    return pagine;
}

TEST_F(Crittogrammi, SavesTheCiphertextTheKeyAndAWorksheetWithItsSolution)
{
    Crittogramma& w = apri();
    Trova<QPlainTextEdit>(w, "TestoInChiaro")->setPlainText(QStringLiteral("Attacco all'alba"));
    Scrivi(Trova(w, "Parola"), QStringLiteral("zebra"));
    const QString cifrato = Cifrato(w);
    ASSERT_EQ(cifrato, "ZSSZBBM ZJJ'ZJEZ");

    struct Caso {
        const char* pulsante;
        const char* file;
        QByteArray contenuto;  // empty: the worksheet, read below
    };
    const QByteArray chiave = QByteArray::fromStdString(
        ScriviChiave(ChiaveDi(AlfabetoDaParola(U"zebra")), ModoLettere::Maiuscole));
    Trova<QCheckBox>(w, "Frequenze")->setChecked(true);
    for (const Caso& caso : {Caso{"SalvaCrittogramma", "c.txt", cifrato.toUtf8() + '\n'},
                             Caso{"SalvaChiave", "k.txt", chiave}, Caso{"SalvaScheda", "s.pdf", {}}}) {
        const QString percorso = Percorso(cartella.percorso() / caso.file);
        ASSERT_TRUE(ConFile(percorso, [&] { Clic(Trova<QPushButton>(w, caso.pulsante)); })) << caso.pulsante;
        const QByteArray letto = QByteArray::fromStdString(LeggiFile(PercorsoDiSistema(percorso)));
        if (!caso.contenuto.isEmpty())
            EXPECT_EQ(letto, caso.contenuto) << caso.file;
        else
            EXPECT_TRUE(letto.startsWith("%PDF-"));
    }

    const auto pagine = TestoPdf(Percorso(cartella.percorso() / "s.pdf"));
    if (!pagine)
        GTEST_SKIP() << "pdftotext (Debian's poppler-utils) is not installed: the worksheet's text is not read";
    ASSERT_EQ(pagine->size(), 2);
    const QString senzaSpazi = QString(cifrato).remove(u' ');
    QString lettere;
    for (const std::size_t k : ClassificaLettere(Lingua::Italiano))
        lettere += QChar(static_cast<char16_t>(u'a' + k));
    const QStringList attesi[] = {
        {"Crittogramma", senzaSpazi + "Chiave", "CifratoABCDEFGHIJKLMNOPQRSTUVWXYZInchiaro%neltesto",
         "Lettera" + lettere},
        {"Soluzione(perl'insegnante)", "zebra", "CifratoABCDEFGHIJKLMNOPQRSTUVWXYZInchiaroecfgbhijklmnopqrsdtuvwxyza",
         "InchiaroabcdefghijklmnopqrstuvwxyzCifratoZEBRACDFGHIJKLMNOPQSTUVWXY", senzaSpazi + "attaccoallalba"},
    };
    for (std::size_t p = 0; p < 2; ++p) {
        for (const QString& atteso : attesi[p])
            EXPECT_TRUE(pagine->at(static_cast<qsizetype>(p)).contains(atteso)) << p << ' ' << atteso.toStdString();
    }
}

}  // namespace
}  // namespace varnel::prova
