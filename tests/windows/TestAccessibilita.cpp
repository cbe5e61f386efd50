// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader learns of the windows through Qt's accessibility interfaces, what language
// Qt's own dialogs speak, and where the windows are placed; both analysis windows worked from the
// keyboard alone, with real key events sent to the focus widget.
#include "AiutiFinestre.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLibraryInfo>
#include <QTreeView>

namespace varnel::prova {
namespace {

QAccessibleInterface* Accessibile(const QWidget& finestra, const QString& nome)
{
    return QAccessible::queryAccessibleInterface(Trova(finestra, nome));
}

QString Nome(const QWidget& finestra, const QString& nome)
{
    return Accessibile(finestra, nome)->text(QAccessible::Name);
}

using ScreenReader = Programma;

TEST_F(ScreenReader, EveryReachableControlHasAName)
{
    // A control with a caption beside it takes the caption's text as its name, and the caption
    // is known as what labels it; buttons are named by their own text, as in Qt.
    struct Caso {
        bool avanzata;
        const char* controllo;
        const char* didascalia;
    };
    const Caso casi[] = {
        {false, "Option1", "Label4"}, {false, "Option2", "Label5"}, {false, "Option3", "Label6"},
        {false, "Check1", "Label3"},  {false, "Text2", "Label2"},   {false, "Image4", "Label11"},
        {false, "Image2", "Label10"}, {true, "Text1", "Label4"},    {true, "Check1", "Label3"},
        {true, "Text2", "Label2"},
    };
    for (const Caso& caso : casi) {
        const FinestraAnalisi& w = finestra(caso.avanzata);
        SCOPED_TRACE(w.objectName().toStdString() + " " + caso.controllo);
        const QLabel* didascalia = Trova<QLabel>(w, caso.didascalia);
        EXPECT_FALSE(didascalia->text().isEmpty());
        EXPECT_EQ(Nome(w, caso.controllo), didascalia->text());
        const auto relazioni = Accessibile(w, caso.controllo)->relations(QAccessible::Label);  // what labels it
        ASSERT_EQ(relazioni.size(), 1);
        EXPECT_EQ(relazioni.front().first->object(), didascalia);
    }
    EXPECT_EQ(Nome(varnel(), "Image1"), "www.varnel.example");  // a picture without a caption
    registro.form2().apri();
    for (QWidget* w : std::initializer_list<QWidget*>{&varnel(), &registro.avanzata(), &registro.form2()})
        EXPECT_EQ(QAccessible::queryAccessibleInterface(w)->role(), QAccessible::Window)
            << w->objectName().toStdString();
}

TEST_F(ScreenReader, GridlinesAreHiddenAndIconsArePressable)
{
    const Varnel& w = varnel();
    for (const char* linea : {"Line1", "Line2", "Line3", "Line4", "Line5"})
        EXPECT_TRUE(Accessibile(w, linea)->state().invisible) << linea;
    EXPECT_TRUE(Accessibile(w, "Blocco(0)")->state().invisible);

    QAccessibleInterface* informazioni = Accessibile(w, "Image4");
    EXPECT_EQ(informazioni->role(), QAccessible::Button);
    informazioni->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(registro.form2().isVisible());

    Accessibile(w, "Image2")->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(varnel().isVisible());
}

TEST_F(ScreenReader, BarsTellTheirSymbolAndPercentage)
{
    Varnel& w = varnel();
    EXPECT_EQ(Nome(w, "Blocco(1)"), "a: 0 %");
    Analizza(w, scrivi("testo.txt", "aab"));
    const auto voce = [&](int i) {
        return QStringLiteral("%1: %2").arg(Testo(w, QStringLiteral("Lettera(%1)").arg(i - 1)),
                                            Testo(w, QStringLiteral("Freq(%1)").arg(i)));
    };
    EXPECT_NE(Testo(w, "Freq(1)"), "0 %");
    for (const int i : {1, 2, 26})
        EXPECT_EQ(Nome(w, QStringLiteral("Blocco(%1)").arg(i)), voce(i));
    Clic(Trova<QPushButton>(w, "Command2"));
    EXPECT_EQ(Nome(w, "Blocco(2)"), voce(2));

    // The advanced window's bars take the symbols typed.
    FinestraAnalisi& a = finestra(true);
    Trova<QLineEdit>(a, "Text1")->setText("èbcdefghijklmnopqrstuvwxyz");
    Analizza(a, scrivi("accenti.txt", "èè b"));
    EXPECT_TRUE(Nome(a, "Blocco(1)").startsWith("è: ")) << Nome(a, "Blocco(1)").toStdString();
    EXPECT_EQ(Nome(a, "Blocco(1)").mid(3), Testo(a, "Freq(1)"));
}

TEST_F(ScreenReader, QtsOwnDialogsSpeakItalianAndShowWholeColumns)
{
#ifndef Q_OS_WIN  // where the catalogue travels inside the executable
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_it.qm"))
        GTEST_SKIP() << "Qt's Italian translation is not installed (Debian package qt6-translations-l10n)";
#endif
    const auto attesa = Rispondi<QFileDialog>([](Risposta&, QFileDialog* dialogo) {
        QStringList testi;
        for (const QAbstractButton* pulsante : dialogo->findChild<QDialogButtonBox*>()->buttons())
            testi << pulsante->text();
        EXPECT_TRUE(testi.contains("&Apri")) << testi.join(' ').toStdString();
        EXPECT_TRUE(testi.contains("Annulla")) << testi.join(' ').toStdString();
        const QHeaderView* intestazione = dialogo->findChild<QTreeView*>("treeView")->header();
        for (int colonna = 1; colonna < intestazione->count(); ++colonna)
            EXPECT_EQ(intestazione->sectionResizeMode(colonna), QHeaderView::ResizeToContents) << colonna;
        dialogo->reject();
    });
    Clic(Trova<QPushButton>(varnel(), "Command1"));
    EXPECT_TRUE(attesa->venuta);
}

TEST(Placement, FramesAreCentredAndTheirTitleBarStaysOnTheScreen)
{
    struct Caso {
        QRect disponibile;
        QSize cornice;
        QPoint angolo;
    };
    const Caso casi[] = {
        {{0, 0, 1280, 1024}, {677, 431}, {301, 296}},      // frame with a title bar, centred whole
        {{0, 0, 1280, 1024}, {1280, 1024}, {0, 0}},        // exactly the area
        {{0, 0, 1280, 1024}, {1352, 840}, {0, 92}},        // wider than the area: the left edge stays on it
        {{0, 0, 1280, 720}, {1352, 900}, {0, 0}},          // larger both ways
        {{1920, 30, 1280, 994}, {677, 431}, {2221, 311}},  // a second screen, below a panel
    };
    for (const Caso& caso : casi)
        EXPECT_EQ(AngoloCornice(caso.disponibile, caso.cornice), caso.angolo) << caso.cornice.width();
}

class Keyboard : public Programma {
protected:
    // The focus widget's name after each of `passi` presses of `tasto`.
    static QStringList Giro(Qt::Key tasto, Qt::KeyboardModifiers modificatori, int passi)
    {
        QStringList nomi;
        for (int i = 0; i < passi; ++i) {
            Tasto(tasto, modificatori);
            nomi << QApplication::focusWidget()->objectName();
        }
        return nomi;
    }
};

TEST_F(Keyboard, TabWalksTheControlsInOrderAndF1OpensTheAboutWindow)
{
    // The option buttons are one stop, the selected one, wherever the arrows have moved it.
    struct Caso {
        bool avanzata;
        int frecce;  // presses of the down arrow on the selected option first
        const char* ordine;
    };
    for (const Caso& caso : {Caso{false, 0, "Text2 Command2 Check1 Option3 Command3 Command1"},
                             Caso{false, 1, "Text2 Command2 Check1 Option1 Command3 Command1"},
                             Caso{true, 0, "Text2 Command2 Check1 Command3 Text1 Command1"}}) {
        FinestraAnalisi& w = finestra(caso.avanzata);
        if (caso.frecce > 0) {
            Fuoco(w, "Option3");
            Giro(Qt::Key_Down, Qt::NoModifier, caso.frecce);
        }
        Fuoco(w, "Command1");
        const QStringList avanti = QString(caso.ordine).split(' ');
        EXPECT_EQ(Giro(Qt::Key_Tab, Qt::NoModifier, int(avanti.size())).join(' '), avanti.join(' '));
        EXPECT_TRUE(Testo(w, "Text2").isEmpty());  // no tab was typed

        // Backwards from Command1: the same walk reversed, ending where it began.
        QStringList indietro(avanti.rbegin() + 1, avanti.rend());
        indietro << "Command1";
        EXPECT_EQ(Giro(Qt::Key_Backtab, Qt::ShiftModifier, int(indietro.size())).join(' '), indietro.join(' '));

        Tasto(Qt::Key_F1);  // from either window
        EXPECT_TRUE(registro.form2().isVisible());
        registro.form2().close();
    }
}

TEST_F(Keyboard, EnterReturnAndSpacePressAFocusedButton)
{
    Varnel& w = varnel();
    for (const Qt::Key tasto : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
        for (const char* nome : {"Command1", "Command2", "Command3"}) {
            Fuoco(w, nome);
            int premuto = 0;
            const auto collegamento = QObject::connect(Trova<QPushButton>(w, nome), &QPushButton::clicked,
                                                       [&] { ++premuto; });
            // Each command is answered by its own dialog or window; only the press itself matters here.
            const auto scelta = RispondiFile({});
            const auto avviso = RispondiAvviso();
            Tasto(tasto);
            QObject::disconnect(collegamento);
            EXPECT_EQ(premuto, 1) << nome << " key " << tasto;
            if (registro.avanzata().isVisible()) {
                registro.avanzata().close();
                w.apri();
            }
        }
    }
}

TEST_F(Keyboard, ArrowsMoveTheSelectionRoundTheOptionsWithAVisibleMark)
{
    Varnel& w = varnel();
    Fuoco(w, "Option3");
    struct Passo {
        Qt::Key tasto;
        const char* selezionata;
    };
    for (const Passo& p :
         {Passo{Qt::Key_Down, "Option1"}, Passo{Qt::Key_Down, "Option2"}, Passo{Qt::Key_Up, "Option1"},
          Passo{Qt::Key_Up, "Option3"}, Passo{Qt::Key_Left, "Option2"}, Passo{Qt::Key_Right, "Option3"}}) {
        Tasto(p.tasto);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), p.selezionata);
        EXPECT_TRUE(Trova<QRadioButton>(w, p.selezionata)->isChecked()) << p.selezionata;
    }
    // The focus mark is drawn on the caption beside the option, since the option's own is hidden.
    const QImage conFuoco = Trova(w, "Label6")->grab().toImage();
    Fuoco(w, "Command1");
    EXPECT_NE(Trova(w, "Label6")->grab().toImage(), conFuoco);
}

}  // namespace
}  // namespace varnel::prova
