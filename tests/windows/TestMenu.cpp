// SPDX-License-Identifier: GPL-3.0-or-later
// The menu of the analysis windows, how it opens, its shortcuts and the reference markers.
#include "AiutiFinestre.h"
#include "Lingue.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QMenu>

namespace varnel::prova {
namespace {

QMenu* Menu(const QWidget& finestra) { return Trova<QMenu>(finestra, "MenuAnalisi"); }

class Menus : public Programma {
protected:
    // The object name of the menu that pops up after `azione`, closed at once; empty when none does.
    static QString MenuAperto(const std::function<void()>& azione)
    {
        QString nome;
        QTimer controllo;
        QObject::connect(&controllo, &QTimer::timeout, [&] {
            if (QWidget* menu = QApplication::activePopupWidget()) {
                nome = menu->objectName().isEmpty() ? QStringLiteral("(altro)") : menu->objectName();
                menu->close();
            }
        });
        controllo.start(10);
        QTimer::singleShot(1000, [] {
            if (QWidget* menu = QApplication::activePopupWidget())
                menu->close();
        });
        azione();
        // A menu that opens without blocking, however late a busy machine shows it.
        (void)QTest::qWaitFor([&] { return !nome.isEmpty(); }, 1000);
        return nome;
    }
};

TEST_F(Menus, ActionsAreNamedAndEnabledOnlyWhenTheyCanDoSomething)
{
    struct Caso {
        const char* nome;
        const char* testo;
        QKeySequence tasti;
        bool primaAttiva;
    };
    const std::vector<Caso> casi = {
        {"RiferimentoNessuno", "Nessuna", {}, true},
        {"RiferimentoItaliano", "Italiano", {}, true},
        {"RiferimentoInglese", "Inglese", {}, true},
        {"AzioneCopia", "Copia risultati", QKeySequence::Copy, false},
        {"AzioneIncolla", "Analizza il testo negli appunti", QKeySequence::Paste, true},
        {"AzioneEsportaCsv", "Esporta risultati (CSV)...", {}, false},
        {"AzioneSalvaGrafico", "Salva grafico come immagine...", {}, false},
        {"AzioneDecifrazione", "Decifrazione...", Qt::CTRL | Qt::Key_D, false},
        {"AzioneCrittogramma", "Crea crittogramma...", {}, true},
    };
    for (const bool avanzata : {false, true}) {
        const FinestraAnalisi* w = &finestra(avanzata);
        for (const Caso& caso : casi) {
            QAction* azione = Azione(*w, caso.nome);
            ASSERT_NE(azione, nullptr) << caso.nome;
            EXPECT_EQ(azione->text(), caso.testo);
            EXPECT_EQ(azione->shortcut(), caso.tasti) << caso.nome;
            // The advanced window counts no letters of a language.
            const bool lingua = QString(caso.nome).startsWith("RiferimentoI");
            EXPECT_EQ(azione->isEnabled(), caso.primaAttiva && !(avanzata && lingua)) << caso.nome;
        }
        EXPECT_TRUE(Azione(*w, "RiferimentoNessuno")->isChecked());
    }
    Analizza(varnel(), scrivi("a.txt", "abc"));
    for (const char* nome : {"AzioneCopia", "AzioneEsportaCsv", "AzioneSalvaGrafico", "AzioneDecifrazione"})
        EXPECT_TRUE(Azione(varnel(), nome)->isEnabled()) << nome;

    // A screen reader reads each entry by its text.
    QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(Menu(varnel()));
    QStringList voci;
    for (int i = 0; i < menu->childCount(); ++i)
        voci << menu->child(i)->text(QAccessible::Name);
    EXPECT_EQ(voci.join('|'), "Frequenze di riferimento|Copia risultati|Analizza il testo negli appunti|"
                              "Esporta risultati (CSV)...|Salva grafico come immagine...|Decifrazione...|"
                              "Crea crittogramma...");
}

TEST_F(Menus, DisabledEntriesLookDisabled)
{
    // Before any analysis "Copia risultati" can do nothing, "Analizza il testo negli appunti" can.
    QMenu* menu = Menu(varnel());
    menu->popup(varnel().mapToGlobal(QPoint(10, 10)));
    QTest::qWait(50);
    const QImage immagine = menu->grab().toImage();
    menu->close();
    const auto piuScuro = [&](const char* nome) {
        QAction* azione = menu->findChild<QAction*>(nome);
        const double scala = immagine.devicePixelRatio();
        const QRect riga(menu->actionGeometry(azione).topLeft() * scala, menu->actionGeometry(azione).size() * scala);
        int minimo = 255;
        for (int y = riga.top(); y <= riga.bottom(); ++y) {
            for (int x = riga.left(); x <= riga.right(); ++x)
                minimo = std::min(minimo, qGray(immagine.pixel(x, y)));
        }
        return minimo;
    };
    EXPECT_LT(piuScuro("AzioneIncolla"), 60);
    EXPECT_GT(piuScuro("AzioneCopia"), 100);
}

TEST_F(Menus, OpensOutsideTheTextBoxesWhichKeepTheirOwn)
{
    EXPECT_TRUE(Trova(varnel(), "Blocco(1)")->toolTip().contains("tasto destro"));
    struct Caso {
        const char* nome;
        const char* controllo;
        std::function<void(QWidget*)> azione;
        QString atteso;
    };
    const auto destro = [](QWidget* w) {
        if (auto* casella = qobject_cast<QPlainTextEdit*>(w))
            w = casella->viewport();  // where the mouse's events go
        QContextMenuEvent evento(QContextMenuEvent::Mouse, w->rect().center(), w->mapToGlobal(w->rect().center()));
        QApplication::sendEvent(w, &evento);
    };
    // What the platform makes of the Menu key: a request from the keyboard to the focus widget.
    const auto tastoMenu = [](QWidget* w) {
        QContextMenuEvent evento(QContextMenuEvent::Keyboard, w->rect().center(), w->mapToGlobal(w->rect().center()));
        QApplication::sendEvent(w, &evento);
    };
    const auto shiftF10 = [](QWidget* w) { QTest::keyClick(w, Qt::Key_F10, Qt::ShiftModifier); };
    for (const Caso& caso : {
             Caso{"right click on a bar", "Blocco(3)", destro, "MenuAnalisi"},
             Caso{"right click on a symbol", "Lettera(0)", destro, "MenuAnalisi"},
             Caso{"right click on the summary", "Text2", destro, "(altro)"},
             Caso{"menu key on a button", "Command1", tastoMenu, "MenuAnalisi"},
             Caso{"shift F10 on a button", "Command2", shiftF10, "MenuAnalisi"},
             Caso{"shift F10 on the summary", "Text2", shiftF10, "(altro)"},
             Caso{"menu key on the summary", "Text2", tastoMenu, "(altro)"},
         }) {
        QWidget* controllo = Trova(varnel(), caso.controllo);
        Fuoco(varnel(), caso.controllo);
        EXPECT_EQ(MenuAperto([&] { caso.azione(controllo); }), caso.atteso) << caso.nome;
    }
}

TEST_F(Menus, CtrlCAndCtrlVWorkOutsideTheTextBoxes)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("eeee a"));
    Fuoco(varnel(), "Command1");
    Tasto(Qt::Key_V, Qt::ControlModifier);
    ASSERT_TRUE(varnel().ultimaAnalisi());
    EXPECT_EQ(varnel().ultimaAnalisi()->analisi.conteggi[4], 4u);
    Tasto(Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith("Simbolo\tConteggio\tPercentuale\na\t1\t20\n"));

    // In the summary, Ctrl+C copies its selection and Ctrl+V starts nothing.
    auto* riepilogo = Trova<QPlainTextEdit>(varnel(), "Text2");
    Fuoco(varnel(), "Text2");
    riepilogo->selectAll();
    QTest::keyClick(riepilogo, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), riepilogo->toPlainText());
    QGuiApplication::clipboard()->setText(QStringLiteral("zzz"));
    QTest::keyClick(riepilogo, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(varnel().ultimaAnalisi()->analisi.conteggi[25], 0u);
}

TEST_F(Menus, MarkersStandAtTheLanguageSharesScaledToTheDenominator)
{
    const auto segno = [&](int k) { return Trova(varnel(), QStringLiteral("Riferimento(%1)").arg(k)); };
    const auto percentuale = [&](int k) { return segno(k)->property("percentuale").toDouble(); };
    const auto top = [&](int k) { return segno(k)->property("topTwips").toDouble(); };
    EXPECT_FALSE(segno(1)->isVisible());

    Azione(varnel(), "RiferimentoInglese")->trigger();
    const auto& inglese = FrequenzeLettere(Lingua::Inglese);
    EXPECT_TRUE(segno(1)->isVisible());
    EXPECT_NEAR(percentuale(20), inglese[19], 1e-4);  // before any analysis: the shares
    EXPECT_NEAR(top(20), 4440 - inglese[19] * 25, 0.01);

    Azione(varnel(), "RiferimentoItaliano")->trigger();
    const auto& italiano = FrequenzeLettere(Lingua::Italiano);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(segno(5))->text(QAccessible::Name),
              QStringLiteral("riferimento e: %1 %").arg(QLocale().toString(italiano[4], 'f', 1)));
    const QString file = scrivi("a.txt", "eeee-aa!-1234567890-");  // 6 letters in 20 characters
    struct Caso {
        bool soloLettere;
        double quota;
    };
    for (const auto& [soloLettere, quota] : {Caso{true, 1.0}, Caso{false, 0.3}}) {
        Trova<QCheckBox>(varnel(), "Check1")->setChecked(soloLettere);
        Analizza(varnel(), file);
        EXPECT_NEAR(percentuale(5), italiano[4] * quota, 1e-4) << soloLettere;
        EXPECT_NEAR(top(1), 4440 - italiano[0] * quota * 25, 0.01) << soloLettere;
        EXPECT_GT(segno(1)->geometry().width(), Trova(varnel(), "Blocco(1)")->geometry().width());
        EXPECT_EQ(segno(1)->geometry().center().x(), Trova(varnel(), "Blocco(1)")->geometry().center().x());
    }
    // The stretch scales everything by 100 ÷ the tallest bar (e: 4 of 20, 20 %).
    Clic(Trova<QPushButton>(varnel(), "Command2"));
    EXPECT_NEAR(percentuale(1), italiano[0] * 0.3, 1e-4);
    EXPECT_NEAR(top(1), 4440 - italiano[0] * 0.3 * 25 * 5, 0.05);

    // The choice outlives the window; None hides the markers.
    varnel().close();
    varnel().apri();
    EXPECT_TRUE(segno(1)->isVisible());
    EXPECT_NEAR(percentuale(1), italiano[0], 1e-4);
    Azione(varnel(), "RiferimentoNessuno")->trigger();
    EXPECT_FALSE(segno(1)->isVisible());
}

}  // namespace
}  // namespace varnel::prova
