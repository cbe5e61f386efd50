// SPDX-License-Identifier: GPL-3.0-or-later
// Named pipes on Linux and on Windows alike: read to the end of what the writer sends, and
// a silent writer that only a cancel gets past.
#include "Aiuti.h"
#include "Tubo.h"

#include "AnalisiFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>

namespace varnel {
namespace {

using namespace std::chrono_literals;

// The analysis of the pipe on a thread of its own, started once the test's writer is ready.
class Tubi : public testing::Test {
protected:
    ~Tubi() override
    {
        if (lettore.joinable()) {
            avanzamento.annulla();
            lettore.join();
        }
    }

    // Starts the reader; true once it has opened the pipe. Otherwise it is cancelled.
    [[nodiscard]] bool avvia()
    {
        lettore = std::thread(
            [this] { esito.emplace(AnalizzaFile(tubo.percorso(), ModoLettere::Minuscole, avanzamento)); });
        const bool aperto = tubo.attendiLettore();
        EXPECT_TRUE(aperto);
        if (!aperto)
            avanzamento.annulla();
        return aperto;
    }

    prova::CartellaTemporanea cartella;
    prova::Tubo tubo{cartella};
    Avanzamento avanzamento;
    std::optional<Esito<Analisi>> esito;
    std::thread lettore;
};

TEST_F(Tubi, APipeIsReadToItsEnd)
{
    if (avvia()) {
        tubo.scrivi("abc,");
        std::this_thread::sleep_for(60ms);  // the reader waits more than one slice
        tubo.scrivi(" de");
        tubo.chiudi();
    }
    lettore.join();
    ASSERT_TRUE(esito && esito->riuscito()) << (esito ? esito->errore().dettaglio : "");
    EXPECT_EQ(esito->valore().lunghezza, 7u);  // abc, CR LF, de
    EXPECT_EQ(Totale(esito->valore(), true), 5u);
    EXPECT_EQ(avanzamento.dimensione(), 0u);
}

TEST_F(Tubi, ACancelStopsASilentPipe)
{
    if (avvia())
        tubo.scrivi("abc");
    const auto scadenza = std::chrono::steady_clock::now() + 10s;
    while (avanzamento.letti() < 3 && std::chrono::steady_clock::now() < scadenza)
        std::this_thread::sleep_for(1ms);
    EXPECT_EQ(avanzamento.letti(), 3u);
    // The writer stays silent, its end open: only the cancel ends the reading.
    const auto inizio = std::chrono::steady_clock::now();
    avanzamento.annulla();
    lettore.join();
    EXPECT_LT(std::chrono::steady_clock::now() - inizio, 2s);
    ASSERT_TRUE(esito);
    ASSERT_FALSE(esito->riuscito());
    EXPECT_EQ(esito->errore().motivo, Motivo::Annullata);
}

}  // namespace
}  // namespace varnel
