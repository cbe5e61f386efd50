// SPDX-License-Identifier: GPL-3.0-or-later
// The advanced window, the about window and the moves between windows.
#include "AiutiFinestre.h"

#include <algorithm>

namespace varnel::prova {
namespace {

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
