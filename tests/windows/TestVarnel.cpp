// SPDX-License-Identifier: GPL-3.0-or-later
// The main window driven through its controls, as a user would.
#include "AiutiFinestre.h"
#include "VersioneProgramma.h"

#include <QFontMetrics>
#include <QRegularExpression>

namespace varnel::prova {
namespace {

using MainWindow = Programma;

TEST_F(MainWindow, StartsAsLaidOut)
{
    const Varnel& w = varnel();
    EXPECT_EQ(w.objectName(), "Varnel");
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), "Varnel - www.varnel.example");
    EXPECT_EQ(w.size(), QSize(675, 405));
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(w.stato().PercMax || w.stato().Totale || w.stato().Ottimizzato);
    EXPECT_EQ(QApplication::applicationName(), "Varnel");
    EXPECT_EQ(QApplication::applicationVersion().toStdString(), VersioneEseguibile);
    EXPECT_FALSE(QApplication::windowIcon().isNull());

    EXPECT_EQ(Trova<QPushButton>(w, "Command1")->geometry(), QRect(40, 344, 137, 25));
    EXPECT_EQ(Trova<QPushButton>(w, "Command3")->text(), "Versione avanzata...");
    EXPECT_EQ(Trova<QPlainTextEdit>(w, "Text2")->geometry(), QRect(424, 24, 233, 81));
    EXPECT_EQ(Trova<QCheckBox>(w, "Check1")->geometry(), QRect(280, 48, 17, 25));
    EXPECT_TRUE(Trova<QCheckBox>(w, "Check1")->isChecked());
    EXPECT_TRUE(Trova<QRadioButton>(w, "Option3")->isChecked());
    EXPECT_FALSE(Trova<QRadioButton>(w, "Option1")->isChecked());
    EXPECT_TRUE(Trova<QPlainTextEdit>(w, "Text2")->toPlainText().isEmpty());
    EXPECT_EQ(Testo(w, "Perc1"), "100 %");
    EXPECT_EQ(Testo(w, "Perc2"), "50 %");
    EXPECT_EQ(Testo(w, "Label1"), "0 %");
    EXPECT_EQ(Trova(w, "Line1")->geometry(), QRect(48, 112, 608, 1));
    EXPECT_EQ(Trova(w, "Image1")->geometry(), QRect(0, 0, 345, 42));

    for (int i = 1; i <= 26; ++i) {
        EXPECT_EQ(Trova(w, QStringLiteral("Blocco(%1)").arg(i))->geometry(), QRect(48 + 24 * (i - 1), 112, 9, 185));
        EXPECT_EQ(AltezzaTwips(w, i), 2775.0f);
        EXPECT_EQ(TopTwips(w, i), 1680.0f);
        EXPECT_EQ(Testo(w, QStringLiteral("Freq(%1)").arg(i)), "0 %");
        EXPECT_EQ(Testo(w, QStringLiteral("Lettera(%1)").arg(i - 1)), QString(QChar(u'a' + i - 1)));
    }
    EXPECT_FALSE(Trova(w, "Blocco(0)")->isVisible());
    EXPECT_FALSE(Trova(w, "Freq(0)")->isVisible());
}

TEST_F(MainWindow, StacksAndOrdersItsControls)
{
    const Varnel& w = varnel();
    const auto davanti = [&](const char* a, const char* b) {
        const auto fratelli = Trova(w, a)->parentWidget()->children();
        return fratelli.indexOf(Trova(w, a)) > fratelli.indexOf(Trova(w, b));
    };
    EXPECT_TRUE(davanti("Lettera(3)", "Freq(4)"));
    EXPECT_TRUE(davanti("Label5", "Label4"));
    EXPECT_TRUE(davanti("Line2", "Blocco(5)"));  // gridlines in front of the bars
    EXPECT_TRUE(davanti("Option2", "Label5"));   // windowed controls in front of labels

    QStringList catena;
    QWidget* widget = Trova(w, "Command1");
    for (int i = 0; i < 8; ++i, widget = widget->nextInFocusChain()) {
        while (widget->focusPolicy() == Qt::NoFocus
               || !widget->objectName().contains(QRegularExpression("^(Command|Text|Check|Option)")))
            widget = widget->nextInFocusChain();
        catena << widget->objectName();
    }
    EXPECT_EQ(catena.join(' '), "Command1 Text2 Command2 Check1 Option1 Option2 Option3 Command3");
}

TEST_F(MainWindow, EveryCaptionFitsItsControl)
{
    for (const QLabel* etichetta : varnel().findChildren<QLabel*>()) {
        if (etichetta->text().isEmpty())
            continue;
        const QFontMetrics metrica(etichetta->font());
        const QRect necessario = metrica.boundingRect(QRect(0, 0, etichetta->width(), 10000), Qt::TextWordWrap,
                                                      etichetta->text());
        EXPECT_LE(necessario.width(), etichetta->width()) << etichetta->objectName().toStdString();
        EXPECT_LE(necessario.height(), etichetta->height()) << etichetta->objectName().toStdString();
    }
    for (const QPushButton* pulsante : varnel().findChildren<QPushButton*>())
        EXPECT_LT(QFontMetrics(pulsante->font()).horizontalAdvance(pulsante->text()), pulsante->width() - 8);
}

TEST_F(MainWindow, AnalysesUnderEachCaseMode)
{
    const QString file = scrivi("ab.txt", "Ab, c");
    Varnel& w = varnel();

    Analizza(w, file);  // both cases, the other characters ignored: a, b and c of 3
    EXPECT_EQ(Testo(w, "Freq(1)"), "33 %");
    EXPECT_EQ(Testo(w, "Freq(3)"), "33 %");
    EXPECT_EQ(Testo(w, "Freq(4)"), "0 %");
    EXPECT_EQ(w.stato().Totale, 3u);
    EXPECT_TRUE(Trova<QPlainTextEdit>(w, "Text2")
                    ->toPlainText()
                    .startsWith("Lettera a: 33,3333333333333 %;  Lettera b: 33,3333333333333 %;  Lettera c: "
                                "33,3333333333333 %;  Lettera d: 0 %;  "));

    Clic(Trova<QRadioButton>(w, "Option1"));
    Trova<QCheckBox>(w, "Check1")->setChecked(false);
    Analizza(w, file);  // lowercase of the whole text: b and c of 5
    EXPECT_EQ(w.stato().Totale, 5u);
    EXPECT_EQ(Testo(w, "Freq(1)"), "0 %");
    EXPECT_EQ(Testo(w, "Freq(2)"), "20 %");
    EXPECT_EQ(AltezzaTwips(w, 2), 500.0f);
    EXPECT_EQ(TopTwips(w, 2), 3940.0f);
    EXPECT_EQ(Trova(w, "Blocco(2)")->geometry(), QRect(72, 263, 9, 33));
    EXPECT_EQ(AltezzaTwips(w, 1), 0.0f);
    EXPECT_EQ(Trova(w, "Blocco(1)")->height(), 0);

    Clic(Trova<QRadioButton>(w, "Option2"));
    Analizza(w, file);  // uppercase: the A, still named a in the summary
    EXPECT_EQ(Testo(w, "Freq(1)"), "20 %");
    EXPECT_EQ(w.stato().PercMax, 20.0);
    EXPECT_TRUE(Trova<QPlainTextEdit>(w, "Text2")->toPlainText().startsWith("Lettera a: 20 %;  Lettera b: 0 %;  "));
}

TEST_F(MainWindow, WholePercentagesAreExact)
{
    Varnel& w = varnel();
    Analizza(w, scrivi("cento.txt", std::string(29, 'a') + std::string(57, 'b') + std::string(14, 'c')));
    EXPECT_EQ(Testo(w, "Freq(1)"), "29 %");
    EXPECT_EQ(Testo(w, "Freq(2)"), "57 %");
    Clic(Trova<QPushButton>(w, "Command2"));
    EXPECT_EQ(Testo(w, "Perc1"), "57 %");
    EXPECT_EQ(Testo(w, "Perc2"), "28 %");
}

TEST_F(MainWindow, EmptyTextShowsZeros)
{
    Varnel& w = varnel();
    Analizza(w, scrivi("cifre.txt", "0123 456!"));
    EXPECT_EQ(w.stato().Totale, 0u);
    EXPECT_EQ(w.stato().PercMax, 0.0);
    EXPECT_EQ(AltezzaTwips(w, 5), 0.0f);
    EXPECT_EQ(TopTwips(w, 5), 4440.0f);
    EXPECT_EQ(Testo(w, "Freq(5)"), "0 %");
    Clic(Trova<QPushButton>(w, "Command2"));  // no peak: nothing to stretch
    EXPECT_EQ(Testo(w, "Perc1"), "100 %");
    EXPECT_EQ(w.stato().Ottimizzato, 0);
}

TEST_F(MainWindow, CheckBoxOnlyShowsItsNotice)
{
    Varnel& w = varnel();
    Analizza(w, scrivi("a.txt", "ab"));
    const QString riepilogo = Trova<QPlainTextEdit>(w, "Text2")->toPlainText();
    for (const bool atteso : {false, true}) {
        const auto avviso = RispondiAvviso();
        Clic(Trova<QCheckBox>(w, "Check1"));
        EXPECT_TRUE(avviso->mostrato);
        EXPECT_EQ(avviso->titolo, "Varnel");
        EXPECT_EQ(avviso->testo,
                  "Affinchè il programma tenga conto di questa opzione è necessario rieseguire l'analisi.");
        EXPECT_EQ(avviso->icona, QMessageBox::NoIcon);
        EXPECT_EQ(avviso->pulsanti, 1);
        EXPECT_EQ(Trova<QCheckBox>(w, "Check1")->isChecked(), atteso);
    }
    EXPECT_EQ(Trova<QPlainTextEdit>(w, "Text2")->toPlainText(), riepilogo);
    EXPECT_EQ(Testo(w, "Freq(1)"), "50 %");
}

TEST_F(MainWindow, LabelsBesideTheOptionsSelectNothing)
{
    Clic(Trova<QLabel>(varnel(), "Label5"));
    EXPECT_TRUE(Trova<QRadioButton>(varnel(), "Option3")->isChecked());
}

TEST_F(MainWindow, StretchesOncePerAnalysis)
{
    Varnel& w = varnel();
    const QString file = scrivi("otto.txt", "abbccccc");  // b is 25 %, c 62.5 %
    Analizza(w, file);
    EXPECT_EQ(AltezzaTwips(w, 3), 1562.5f);
    Clic(Trova<QPushButton>(w, "Command2"));
    EXPECT_EQ(AltezzaTwips(w, 3), 2500.0f);
    EXPECT_EQ(TopTwips(w, 3), 1940.0f);
    EXPECT_EQ(AltezzaTwips(w, 2), 1000.0f);
    EXPECT_EQ(Testo(w, "Perc1"), "62 %");
    EXPECT_EQ(Testo(w, "Perc2"), "31 %");
    EXPECT_EQ(Testo(w, "Freq(3)"), "62 %");  // the labels keep the true percentages
    EXPECT_EQ(w.stato().Ottimizzato, 1);

    Clic(Trova<QPushButton>(w, "Command2"));
    EXPECT_EQ(AltezzaTwips(w, 3), 2500.0f);
    EXPECT_EQ(AltezzaTwips(w, 2), 1000.0f);

    Analizza(w, file);
    EXPECT_EQ(Testo(w, "Perc1"), "100 %");
    EXPECT_EQ(Testo(w, "Perc2"), "50 %");
    EXPECT_EQ(AltezzaTwips(w, 3), 1562.5f);
    EXPECT_EQ(w.stato().Ottimizzato, 0);
}

TEST_F(MainWindow, CancelledChoiceChangesNothing)
{
    Varnel& w = varnel();
    Analizza(w, scrivi("otto.txt", "abbccccc"));
    Clic(Trova<QPushButton>(w, "Command2"));
    const StatoAnalisi prima = w.stato();
    const QString riepilogo = Trova<QPlainTextEdit>(w, "Text2")->toPlainText();

    Analizza(w, {});
    EXPECT_EQ(Testo(w, "Perc1"), "62 %");
    EXPECT_EQ(AltezzaTwips(w, 3), 2500.0f);
    EXPECT_EQ(Trova<QPlainTextEdit>(w, "Text2")->toPlainText(), riepilogo);
    EXPECT_EQ(w.stato().PercMax, prima.PercMax);
    EXPECT_EQ(w.stato().Ottimizzato, 1);
}

TEST_F(MainWindow, UnreadableFileIsReportedAndChangesNothing)
{
    Varnel& w = varnel();
    Analizza(w, scrivi("a.txt", "aab"));
    for (const QString& file : {QStringLiteral("/proc/self/mem"), Percorso(cartella.percorso() / "sparito.txt"),
                                Percorso(cartella.percorso())}) {
        const auto avviso = RispondiAvviso();
        Analizza(w, file);
        EXPECT_TRUE(avviso->mostrato);
        EXPECT_EQ(avviso->titolo, "Varnel");
        EXPECT_TRUE(avviso->testo.startsWith("Impossibile leggere il file \"" + file + "\": "))
            << avviso->testo.toStdString();
        EXPECT_EQ(Testo(w, "Freq(1)"), "66 %");
        EXPECT_EQ(w.stato().Totale, 3u);
    }
}

TEST_F(MainWindow, EsciEndsTheProgram)
{
    EXPECT_TRUE(finisceEntro(3000, [this] { Clic(Trova<QLabel>(varnel(), "Label10")); }));
    EXPECT_FALSE(varnel().isVisible());
    EXPECT_EQ(varnel().findChild<QPushButton*>("Command1"), nullptr);  // the controls went with the window
}

TEST_F(MainWindow, ExitIconAndCloseButtonEndTheProgramToo)
{
    EXPECT_TRUE(finisceEntro(3000, [this] { Clic(Trova<QLabel>(varnel(), "Image2")); }));
    varnel().apri();
    EXPECT_TRUE(finisceEntro(3000, [this] { varnel().close(); }));
}

}  // namespace
}  // namespace varnel::prova
