// SPDX-License-Identifier: GPL-3.0-or-later
// The one wait for work on a worker: it ends when the worker says so, the progress dialog is built
// only when it shows, and a cancel ends it before the dialog shows or with it up.
#include "AiutiFinestre.h"
#include "Decifrazione.h"
#include "DialogoAvanzamento.h"
#include "Tubo.h"

#include <QProgressDialog>

#include <atomic>
#include <chrono>
#include <thread>

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

}  // namespace
}  // namespace varnel::prova
