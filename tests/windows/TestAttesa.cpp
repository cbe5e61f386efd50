// SPDX-License-Identifier: GPL-3.0-or-later
// The one wait for work on a worker: it ends when the worker says so, the progress dialog is built
// only when it shows, and a cancel ends it before the dialog shows or with it up. Analyses of inputs
// that never end or never answer: the window lives on, unchanged, and nothing reaches it until the
// analysis is over.
#include "AiutiFinestre.h"
#include "DialogoAvanzamento.h"
#include "Tubo.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QFileInfo>
#include <QProgressDialog>
#include <qpa/qwindowsysteminterface.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace varnel::prova {
namespace {

using namespace std::chrono_literals;

// Longer than any test runs: a wait that ends did not end by these timers.
constexpr TempiAttesa MaiTimer{24h, 24h};

class Wait : public testing::Test {
protected:
    void SetUp() override { finestra.show(); }

    // A safety net, not a measure: a wait that never ends is given up while the result lives, and
    // the test then fails.
    static std::unique_ptr<QTimer> Rete(Attesa& attesa)
    {
        auto rete = std::make_unique<QTimer>();
        rete->setSingleShot(true);
        QObject::connect(rete.get(), &QTimer::timeout, [&attesa] { attesa.abbandona(); });
        rete->start(10s);
        return rete;
    }

    QWidget finestra;
};

TEST_F(Wait, EndsOnTheWorkersSignalWithNoTimer)
{
    // Work that has ended before the wait begins, and work that ends while it waits.
    for (const auto durata : {0ms, 50ms}) {
        const auto lavoro = AvviaLavoro<int>([durata](Avanzamento&) -> Esito<int> {
            std::this_thread::sleep_for(durata);
            return 7;
        });
        if (durata == 0ms) {
            while (!lavoro->finito())
                std::this_thread::sleep_for(1ms);
        }
        Attesa attesa(finestra, QStringLiteral("Prova"), MaiTimer);
        const auto rete = Rete(attesa);
        const auto esito = attesa.attendi(*lavoro);
        ASSERT_TRUE(esito.riuscito()) << durata.count();
        EXPECT_EQ(esito.valore(), 7);
        EXPECT_EQ(finestra.findChild<QProgressDialog*>(), nullptr) << "a dialog built that never showed";
    }
}

TEST_F(Wait, CancelBeforeTheDialogShowsOrWithItUp)
{
    for (const bool dialogo : {false, true}) {
        SCOPED_TRACE(dialogo ? "with the dialog up" : "before the dialog shows");
        // Work that runs until it is told to stop, having said how far it has come.
        const auto fermata = std::make_shared<std::atomic<bool>>(false);  // once it has seen the request
        const auto record = AvviaLavoro<int>([fermata](Avanzamento& avanzamento) -> Esito<int> {
            avanzamento.fissaDimensione(100);
            avanzamento.aggiungi(50);
            while (!avanzamento.annullata())
                std::this_thread::sleep_for(1ms);
            fermata->store(true);
            return 0;
        });
        Attesa attesa(finestra, QStringLiteral("Lettura di <b>x"),
                      dialogo ? TempiAttesa{.dialogo = 50ms, .avanzamento = 10ms} : MaiTimer);
        const auto rete = Rete(attesa);
        if (!dialogo)  // as the window does when it closes: the dialog is never built
            QTimer::singleShot(20ms, &finestra, [&attesa] { attesa.abbandona(); });
        const auto risposta = Rispondi<QProgressDialog>([](Risposta&, QProgressDialog* d) {
            EXPECT_EQ(d->windowTitle(), "Varnel");
            EXPECT_EQ(d->windowModality(), Qt::WindowModal);
            EXPECT_EQ(d->findChild<QLabel*>()->textFormat(), Qt::PlainText);
            EXPECT_EQ(d->labelText(), "Lettura di <b>x...");
            // Half of the work done, shown by the timer that runs once the dialog is up.
            for (int i = 0; i < 500 && d->value() != 500; ++i)
                QTest::qWait(10);
            EXPECT_EQ(d->value(), 500);
            d->findChild<QPushButton*>()->click();
        });
        EXPECT_EQ(MotivoDi(attesa.attendi(*record)), Motivo::Annullata);
        EXPECT_EQ(risposta->venuta, dialogo);
        if (!dialogo) {
            EXPECT_EQ(finestra.findChild<QProgressDialog*>(), nullptr);
        }
        for (int i = 0; i < 5000 && !fermata->load(); ++i)  // it stops once told, within a few seconds
            std::this_thread::sleep_for(1ms);
        EXPECT_TRUE(fermata->load());
    }
}

// The deciphering window waits for its work in the same way: saving the text of a source that never
// answers shows the dialog, and its cancel returns at once, with no notice and no file.
using DecipheringWindow = Programma;

TEST_F(DecipheringWindow, WaitsThroughTheSameHelper)
{
#ifdef _WIN32
    GTEST_SKIP() << "the save checks the pipe's identity, which the test reads with stat()";
#else
    Tubo tubo(cartella, "muto.txt");
    tubo.apriScrittore();
    UltimaAnalisi ultima;
    ultima.percorso = tubo.percorso();
    struct stat identita {};
    ASSERT_EQ(::stat(tubo.percorso().c_str(), &identita), 0);
    ultima.impronta = {.volume = static_cast<std::uint64_t>(identita.st_dev),
                       .nodo = static_cast<std::uint64_t>(identita.st_ino)};
    ultima.criterio = ModoLettere::SenzaDistinzione;
    registro.apriDecifrazione(varnel(), ultima);
    Decifrazione& d = registro.decifrazione();

    const QString uscita = Percorso(cartella.percorso() / "uscita.txt");
    const auto scelta = RispondiFile(uscita);
    const auto avviso = RispondiAvviso();
    QString etichetta;
    const auto attesa = Rispondi<QProgressDialog>([&](Risposta&, QProgressDialog* dialogo) {
        etichetta = dialogo->labelText();
        dialogo->findChild<QPushButton*>()->click();
    });
    Clic(Trova<QPushButton>(d, "SalvaTesto"));
    EXPECT_TRUE(scelta->venuta);
    EXPECT_TRUE(attesa->venuta);
    EXPECT_TRUE(etichetta.startsWith("Salvataggio di \"uscita.txt\" in corso")) << etichetta.toStdString();
    QTest::qWait(50);
    EXPECT_FALSE(avviso->venuta);
    EXPECT_FALSE(std::filesystem::exists(cartella.percorso() / "uscita.txt"));
#endif
}

// What a user does while an analysis runs, as a desktop reports it: queued, and handled when the
// program next takes input. A key is made on the window, once it is active again after the file
// dialog, but names no window: it goes to the one that has the focus when it is handled.
enum class Gesto { Esc, Invio, Spazio, Clic };

void Fai(Gesto gesto, QWidget& finestra)
{
    if (gesto == Gesto::Clic) {
        const QWidget* pulsante = Trova(finestra, "Command1");
        const QPoint centro = pulsante->rect().center();
        for (const auto& [tipo, premuti] : {std::pair{QEvent::MouseButtonPress, Qt::MouseButtons(Qt::LeftButton)},
                                            std::pair{QEvent::MouseButtonRelease, Qt::MouseButtons()}})
            QWindowSystemInterface::handleMouseEvent(finestra.windowHandle(), pulsante->mapTo(&finestra, centro),
                                                     pulsante->mapToGlobal(centro), premuti, Qt::LeftButton, tipo);
        return;
    }
    const auto [tasto, testo] = gesto == Gesto::Esc     ? std::pair{Qt::Key_Escape, "\x1b"}
                                : gesto == Gesto::Invio ? std::pair{Qt::Key_Return, "\r"}
                                                        : std::pair{Qt::Key_Space, " "};
    finestra.activateWindow();
    for (const QEvent::Type tipo : {QEvent::KeyPress, QEvent::KeyRelease})
        QWindowSystemInterface::handleKeyEvent(nullptr, tipo, tasto, Qt::NoModifier, QString::fromLatin1(testo));
}

// Presses every control of the window by the routes that are not input: click() and a screen
// reader's actions; the progress dialog's own are left alone.
void PremiTutto(const QWidget& finestra)
{
    for (QWidget* controllo : finestra.findChildren<QWidget*>()) {
        if (controllo->window() != &finestra)
            continue;
        if (auto* pulsante = qobject_cast<QAbstractButton*>(controllo))
            pulsante->click();
        QAccessibleInterface* accessibile = QAccessible::queryAccessibleInterface(controllo);
        if (QAccessibleActionInterface* azioni = accessibile ? accessibile->actionInterface() : nullptr) {
            for (const QString& azione : azioni->actionNames())
                azioni->doAction(azione);
        }
    }
}

class LongAnalysis : public Programma {
protected:
    void SetUp() override
    {
        Programma::SetUp();
        Analizza(varnel(), scrivi("ab.txt", "ab"));  // what the window shows, and must go on showing
        riepilogo = Testo(varnel(), "Text2");
    }

    // A named pipe whose writer is there and silent, so that an analysis of it waits to read.
    std::unique_ptr<Tubo> muto(const std::string& nome)
    {
        auto tubo = std::make_unique<Tubo>(cartella, nome);
        tubo->apriScrittore();
        return tubo;
    }

    // Analyses `file`; once the progress dialog is up, runs `intanto` and presses "Annulla". True
    // when the dialog came; the handler has returned by then, whatever its worker is doing.
    bool annulla(const QString& file, const std::function<void(QProgressDialog&)>& intanto = {})
    {
        const auto attesa = Rispondi<QProgressDialog>([&](Risposta&, QProgressDialog* dialogo) {
            if (intanto)
                intanto(*dialogo);
            dialogo->findChild<QPushButton*>()->click();
        });
        Analizza(varnel(), file);
        return attesa->venuta;
    }

    void comePrima()
    {
        EXPECT_EQ(Testo(varnel(), "Freq(1)"), "50 %");
        EXPECT_EQ(varnel().stato().Totale, 2u);
        EXPECT_EQ(Testo(varnel(), "Text2"), riepilogo);
    }

    QString riepilogo;
};

TEST_F(LongAnalysis, InputsThatNeverAnswerAreCancelledAtOnce)
{
    // A source read without end, and one whose writer never writes, which holds the worker in the
    // system until the writer goes: the handler gives it up rather than wait. The dialog names the
    // file as it is named.
    const auto muta = muto("<b>x");
    std::vector<QString> file = {Percorso(muta->percorso())};
#ifndef Q_OS_WIN
    file.push_back(QStringLiteral("/dev/zero"));
#endif
    for (const QString& scelto : file) {
        const QString nome = QFileInfo(scelto).fileName();
        const QLabel* etichetta = nullptr;
        EXPECT_TRUE(annulla(scelto, [&](QProgressDialog& d) {
            etichetta = d.findChild<QLabel*>();
            EXPECT_EQ(etichetta->textFormat(), Qt::PlainText);
            EXPECT_TRUE(etichetta->text().startsWith(QStringLiteral("Analisi di \"%1\" in corso").arg(nome)))
                << etichetta->text().toStdString();
        })) << nome.toStdString();
        EXPECT_NE(etichetta, nullptr);
    }
    comePrima();
}

TEST_F(LongAnalysis, NothingReachesTheWindowMeanwhile)
{
    // A key or a click made for the window 150 ms into an analysis, before the progress dialog
    // shows. In a long analysis the dialog then comes up, and every control of the window is
    // pressed by the other routes too; a short one ends first.
    Varnel& w = varnel();
    int numero = 0;
    for (const Gesto gesto : {Gesto::Esc, Gesto::Invio, Gesto::Spazio, Gesto::Clic}) {
        for (const bool lunga : {true, false}) {
            SCOPED_TRACE(testing::Message() << "gesture " << int(gesto) << (lunga ? " long" : " short"));
            w.activateWindow();
            Trova(w, "Command1")->setFocus();
            auto tubo = muto("tubo" + std::to_string(++numero));  // the analysis waits on it
            QTimer::singleShot(150, &w, [&] {
                Fai(gesto, w);
                if (!lunga) {
                    QTimer::singleShot(60, &w, [&] {
                        EXPECT_TRUE(tubo->attendiLettore());
                        tubo->scrivi("ab");
                        tubo->chiudi();
                    });
                }
            });
            bool inCorso = false;
            const auto attesa = Rispondi<QProgressDialog>([&](Risposta&, QProgressDialog* dialogo) {
                QTest::qWait(200);  // time for input held back to arrive
                inCorso = dialogo->isVisible() && !dialogo->wasCanceled();
                const auto scelta = RispondiFile({});
                const auto avviso = RispondiAvviso();
                PremiTutto(w);
                Trova<QRadioButton>(w, "Option1")->click();  // and a selection that the sweep may have put back
                Trova<QCheckBox>(w, "Check1")->click();
                QTest::qWait(300);  // a press action lands a moment later
                EXPECT_FALSE(scelta->venuta || avviso->venuta);
                dialogo->findChild<QPushButton*>()->click();
            });
            Analizza(w, Percorso(tubo->percorso()));
            const auto scelta = RispondiFile({});
            const auto avviso = RispondiAvviso();
            QTest::qWait(200);  // and time for input to arrive once the analysis is over
            EXPECT_EQ(inCorso, lunga);
            EXPECT_FALSE(scelta->venuta || avviso->venuta);
            EXPECT_TRUE(w.isVisible());
            EXPECT_FALSE(registro.avanzata().isVisible());
            EXPECT_FALSE(registro.form2().isVisible());
            EXPECT_TRUE(Trova<QRadioButton>(w, "Option3")->isChecked());
            EXPECT_TRUE(Trova<QCheckBox>(w, "Check1")->isChecked());
            comePrima();
        }
    }
}

TEST_F(LongAnalysis, ClosingTheWindowOrQuittingEndsTheProgram)
{
    // Before the progress dialog shows, and with it up; closing the window cancels the analysis.
    const auto tubo = muto("infinita");
    const QString file = Percorso(tubo->percorso());
    for (const auto& [attesa, chiusura] : {std::pair{100, true}, std::pair{700, true}, std::pair{700, false}}) {
        const int dopo = attesa;  // a lambda may not capture a structured binding before clang 16
        const bool chiudi = chiusura;
        varnel().apri();
        EXPECT_TRUE(finisceEntro(5000, [&] {
            QTimer::singleShot(dopo, &varnel(), [this, chiudi] {
                if (chiudi)
                    varnel().close();
                else
                    QCoreApplication::quit();
            });
            Analizza(varnel(), file);
        })) << dopo;
        EXPECT_FALSE(varnel().isVisible());
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(varnel().findChild<QPushButton*>(), nullptr);
}

}  // namespace
}  // namespace varnel::prova
