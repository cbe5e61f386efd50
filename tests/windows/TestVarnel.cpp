// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis windows driven through their controls, as a user would; the about window and the
// moves between windows.
#include "AiutiFinestre.h"
#include "VersioneProgramma.h"

#include <QDir>
#include <QFontMetrics>

#include <algorithm>

namespace varnel::prova {
namespace {

using MainWindow = Programma;
using AnalysisWindows = Programma;

TEST_F(MainWindow, StartsAsTheProgramsOnlyWindowWithItsControlsStacked)
{
    EXPECT_EQ(QApplication::applicationName(), "Varnel");
    EXPECT_EQ(QApplication::applicationVersion().toStdString(), VersioneEseguibile);
    EXPECT_FALSE(QApplication::windowIcon().isNull());
    const Varnel& w = varnel();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.size(), QSize(675, 405));  // the client area, from twips
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(Trova(w, "Blocco(0)")->isVisible());
    EXPECT_FALSE(Trova(w, "Freq(0)")->isVisible());
    const auto davanti = [&](const char* a, const char* b) {
        const auto fratelli = Trova(w, a)->parentWidget()->children();
        return fratelli.indexOf(Trova(w, a)) > fratelli.indexOf(Trova(w, b));
    };
    EXPECT_TRUE(davanti("Lettera(3)", "Freq(4)"));
    EXPECT_TRUE(davanti("Label5", "Label4"));
    EXPECT_TRUE(davanti("Line2", "Blocco(5)"));  // gridlines in front of the bars
    EXPECT_TRUE(davanti("Option2", "Label5"));   // windowed controls in front of labels
    Clic(Trova<QLabel>(w, "Label5"));            // a label beside an option selects nothing
    EXPECT_TRUE(Trova<QRadioButton>(w, "Option3")->isChecked());
}

TEST_F(AnalysisWindows, EveryCaptionFitsItsControl)
{
    for (const bool avanzata : {false, true}) {
        const FinestraAnalisi& w = finestra(avanzata);
        for (const QLabel* etichetta : w.findChildren<QLabel*>()) {
            if (etichetta->text().isEmpty())
                continue;
            const QRect necessario = QFontMetrics(etichetta->font())
                                         .boundingRect(QRect(0, 0, etichetta->width(), 10000), Qt::TextWordWrap,
                                                       etichetta->text());
            EXPECT_LE(necessario.width(), etichetta->width()) << etichetta->objectName().toStdString();
            EXPECT_LE(necessario.height(), etichetta->height()) << etichetta->objectName().toStdString();
        }
        for (const QPushButton* pulsante : w.findChildren<QPushButton*>())
            EXPECT_LT(QFontMetrics(pulsante->font()).horizontalAdvance(pulsante->text()), pulsante->width() - 8);
    }
}

TEST_F(MainWindow, AnalysesUnderEachCaseModeAndTheCheckBoxOnlyShowsItsNotice)
{
    struct Caso {
        const char* opzione;
        bool soloLettere;  // Check1, ticked at start
        unsigned totale;
        const char *a, *b, *riepilogo;
    };
    const Caso casi[] = {
        {"Option1", false, 5, "0 %", "20 %", "Lettera a: 0 %;  Lettera b: 20 %;  "},  // lowercase, of the whole text
        // Both cases, of the letters only: a, b and c of 3.
        {"Option3", true, 3, "33 %", "33 %",
         "Lettera a: 33,3333333333333 %;  Lettera b: 33,3333333333333 %;  Lettera c: 33,3333333333333 %;  Lettera d: "
         "0 %;  "},
        {"Option2", false, 5, "20 %", "0 %", "Lettera a: 20 %;  Lettera b: 0 %;  "},  // uppercase: A, named a
    };
    const QString file = scrivi("ab.txt", "Ab, c");
    Varnel& w = varnel();
    Analizza(w, file);
    for (const Caso& caso : casi) {
        Clic(Trova<QRadioButton>(w, caso.opzione));
        // The box takes effect with the next analysis; until then only a notice says so.
        const QString prima = Testo(w, "Text2");
        const QString frequenza = Testo(w, "Freq(1)");
        const auto avviso = RispondiAvviso();
        Clic(Trova<QCheckBox>(w, "Check1"));
        EXPECT_EQ(avviso->testo,
                  "Affinchè il programma tenga conto di questa opzione è necessario rieseguire l'analisi.");
        EXPECT_EQ(Trova<QCheckBox>(w, "Check1")->isChecked(), caso.soloLettere) << caso.opzione;
        EXPECT_EQ(Testo(w, "Text2"), prima);
        EXPECT_EQ(Testo(w, "Freq(1)"), frequenza);
        Analizza(w, file);
        EXPECT_EQ(w.stato().Totale, caso.totale) << caso.opzione;
        EXPECT_EQ(Testo(w, "Freq(1)"), caso.a) << caso.opzione;
        EXPECT_EQ(Testo(w, "Freq(2)"), caso.b) << caso.opzione;
        EXPECT_TRUE(Testo(w, "Text2").startsWith(caso.riepilogo)) << caso.opzione;
    }
    // From twips to pixels: 20 % is 500 twips; nothing, no height at all.
    EXPECT_EQ(Trova(w, "Blocco(1)")->geometry(), QRect(48, 263, 9, 33));
    EXPECT_EQ(Trova(w, "Blocco(2)")->height(), 0);
}

TEST_F(MainWindow, StretchesOncePerAnalysis)
{
    Varnel& w = varnel();
    const QString file = scrivi("otto.txt", "abbccccc");  // b is 25 %, c 62.5 %
    Analizza(w, file);
    EXPECT_EQ(AltezzaTwips(w, 3), 1562.5f);
    for (int volta = 0; volta < 2; ++volta) {  // the second stretch changes nothing
        Clic(Trova<QPushButton>(w, "Command2"));
        EXPECT_EQ(AltezzaTwips(w, 3), 2500.0f);
        EXPECT_EQ(TopTwips(w, 3), 1940.0f);
        EXPECT_EQ(AltezzaTwips(w, 2), 1000.0f);
        EXPECT_EQ(Testo(w, "Perc1"), "62 %");
        EXPECT_EQ(Testo(w, "Perc2"), "31 %");
        EXPECT_EQ(Testo(w, "Freq(3)"), "62 %");  // the labels keep the true percentages
        EXPECT_EQ(w.stato().Ottimizzato, 1);
    }
    Analizza(w, file);  // a new analysis undoes the stretch
    EXPECT_EQ(Testo(w, "Perc1"), "100 %");
    EXPECT_EQ(Testo(w, "Perc2"), "50 %");
    EXPECT_EQ(AltezzaTwips(w, 3), 1562.5f);
    EXPECT_EQ(w.stato().Ottimizzato, 0);
}

TEST_F(AnalysisWindows, ACancelOrAnUnreadableFileChangesNothing)
{
    std::filesystem::create_directory(cartella.percorso() / "&lt;b&gt;y");
    const QString file = scrivi("otto.txt", "abbccccc");
    for (const bool avanzata : {false, true}) {
        FinestraAnalisi& w = finestra(avanzata);
        auto* simboli = w.findChild<QLineEdit*>("Text1");
        if (simboli)
            simboli->setText("abcdefghijklmnopqrstuvwxyz");
        Analizza(w, file);
        Clic(Trova<QPushButton>(w, "Command2"));
        const QString riepilogo = Testo(w, "Text2");
        if (simboli)
            simboli->setText("zyxwvutsrqponmlkjihgfedcba");  // taken only with a file read

        QStringList scelte = {QString(), Percorso(cartella.percorso() / "sparito.txt"),
                              Percorso(cartella.percorso() / "&lt;b&gt;y")};
#ifndef Q_OS_WIN
        scelte << QStringLiteral("/proc/self/mem");  // there, but not to be read
#endif
        for (const QString& scelto : scelte) {
            SCOPED_TRACE(w.objectName().toStdString() + " " + scelto.toStdString());
            const auto avviso = RispondiAvviso();
            Analizza(w, scelto);  // an empty path cancels the choice
            EXPECT_EQ(avviso->venuta, !scelto.isEmpty());
            if (avviso->venuta) {
                EXPECT_TRUE(avviso->testo.startsWith("Impossibile leggere il file \"" + QDir::toNativeSeparators(scelto)
                                                     + "\": "))
                    << avviso->testo.toStdString();
            }
            EXPECT_EQ(Testo(w, "Lettera(0)"), "a");
            EXPECT_EQ(Testo(w, "Perc1"), "62 %");
            EXPECT_EQ(AltezzaTwips(w, 3), 2500.0f);
            EXPECT_EQ(Testo(w, "Text2"), riepilogo);
            EXPECT_EQ(w.stato().Totale, 8u);
            EXPECT_EQ(w.stato().Ottimizzato, 1);
        }
    }
}

TEST_F(MainWindow, EsciTheExitIconAndTheCloseButtonEndTheProgram)
{
    for (const char* via : {"Label10", "Image2", "chiusura"}) {
        varnel().apri();
        EXPECT_TRUE(finisceEntro(3000, [&] {
            if (auto* etichetta = varnel().findChild<QLabel*>(via))
                Clic(etichetta);
            else
                varnel().close();
        })) << via;
        EXPECT_FALSE(varnel().isVisible());
        EXPECT_EQ(varnel().findChild<QPushButton*>("Command1"), nullptr);  // the controls went with the window
    }
}

class AdvancedWindow : public Programma {
protected:
    void SetUp() override
    {
        Programma::SetUp();
        Clic(Trova<QPushButton>(varnel(), "Command3"));
    }
    Avanzata& avanzata() { return registro.avanzata(); }
    void simboli(const QString& testo) { Trova<QLineEdit>(avanzata(), "Text1")->setText(testo); }
};

TEST_F(AdvancedWindow, WantsExactlyTwentySixCharacters)
{
    const QString file = scrivi("t.txt", "abc");
    for (const QString& testo :
         {QStringLiteral("abcdefghijklmnopqrstuvwxy"), QStringLiteral("abcdefghijklmnopqrstuvwxyz!"), QString()}) {
        simboli(testo);
        const auto avviso = RispondiAvviso();
        const auto dialogo = RispondiFile(file);
        Clic(Trova<QPushButton>(avanzata(), "Command1"));
        EXPECT_FALSE(dialogo->venuta);
        EXPECT_EQ(avviso->testo,
                  "Per utilizzare la versione avanzata di Varnel è necessario specificare i 26 tipi di carattere "
                  "contenuti nel file cifrato! Controlla che siano stati specificati correttamente tutti e 26.");
        EXPECT_EQ(Testo(avanzata(), "Lettera(0)"), "a");
        EXPECT_FALSE(avanzata().stato().PercMax);
    }

    simboli("αβγδεζηθικλμνξοπρστυφχψω\U0001F600€");  // 26 code points, one beyond 16 bits
    Analizza(avanzata(), scrivi("greco.txt", "αα€\U0001F600"));
    EXPECT_EQ(Testo(avanzata(), "Lettera(24)"), "\U0001F600");
    EXPECT_EQ(Testo(avanzata(), "Freq(1)"), "50 %");
    EXPECT_EQ(Testo(avanzata(), "Freq(25)"), "25 %");
    EXPECT_EQ(Testo(avanzata(), "Freq(26)"), "25 %");
    EXPECT_TRUE(Testo(avanzata(), "Text2").contains("Lettera \U0001F600: 25 %;  Lettera €: 25 %"));
}

TEST_F(AdvancedWindow, RoundTripRebuildsEachLayout)
{
    Clic(Trova<QLabel>(avanzata(), "Label11"));  // the about window stays open throughout
    simboli("abcdefghijklmnopqrstuvwxyz");
    Analizza(avanzata(), scrivi("a.txt", "ab"));
    Clic(Trova<QPushButton>(avanzata(), "Command3"));  // back to the main window
    EXPECT_TRUE(registro.form2().isVisible());
    EXPECT_TRUE(varnel().isVisible());
    EXPECT_FALSE(avanzata().isVisible());
    EXPECT_EQ(avanzata().findChild<QLineEdit*>("Text1"), nullptr);
    EXPECT_EQ(AltezzaTwips(varnel(), 1), 2775.0f);

    Clic(Trova<QPushButton>(varnel(), "Command3"));
    EXPECT_TRUE(registro.form2().isVisible());
    EXPECT_FALSE(varnel().isVisible());
    EXPECT_TRUE(Trova<QLineEdit>(avanzata(), "Text1")->text().isEmpty());
    EXPECT_EQ(Testo(avanzata(), "Freq(1)"), "0 %");
    EXPECT_EQ(avanzata().findChildren<QLineEdit*>("Text1").size(), 1);
    // A window opened again starts from a clean state: the stretch cannot act on the layout's bars.
    EXPECT_FALSE(avanzata().stato().PercMax);
    Clic(Trova<QPushButton>(avanzata(), "Command2"));
    EXPECT_EQ(AltezzaTwips(avanzata(), 1), 2775.0f);
    EXPECT_EQ(Testo(avanzata(), "Perc1"), "100 %");
}

using AboutWindow = Programma;

TEST_F(AboutWindow, InformazioniTwiceGivesOneWindowThatOutlivesEsci)
{
    // Not created before it is first asked for.
    const auto form2 = [](const QWidget* w) { return qobject_cast<const Form2*>(w) != nullptr; };
    EXPECT_TRUE(std::ranges::none_of(QApplication::topLevelWidgets(), form2));
    Clic(Trova<QLabel>(varnel(), "Label11"));
    Clic(Trova<QLabel>(varnel(), "Image4"));
    const Form2& about = registro.form2();
    EXPECT_TRUE(about.isVisible());
    EXPECT_TRUE(varnel().isVisible());
    EXPECT_EQ(std::ranges::count_if(QApplication::topLevelWidgets(), form2), 1);
    EXPECT_EQ(about.findChildren<QLabel*>("Label1").size(), 1);

    EXPECT_EQ(about.objectName(), "Form2");
    EXPECT_FALSE(about.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(Testo(about, "Label1"), "Varnel - Versione 1.2");
    EXPECT_TRUE(Testo(about, "Label2").startsWith("Il programma Varnel è stato realizzato da "));

    // Esci closes the main window; the program runs on until the about window closes too.
    bool ancoraAperto = false;
    EXPECT_TRUE(finisceEntro(3000, [&] {
        Clic(Trova<QLabel>(varnel(), "Label10"));
        QTimer::singleShot(300, [&] {
            ancoraAperto = registro.form2().isVisible() && !varnel().isVisible();
            registro.form2().close();
        });
    }));
    EXPECT_TRUE(ancoraAperto);
}

}  // namespace
}  // namespace varnel::prova
