// SPDX-License-Identifier: GPL-3.0-or-later
// Both analysis windows worked from the keyboard alone: real key events sent to the focus widget.
#include "AiutiFinestre.h"

namespace varnel::prova {
namespace {

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
