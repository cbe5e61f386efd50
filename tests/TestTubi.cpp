// SPDX-License-Identifier: GPL-3.0-or-later
// Named pipes on Linux and on Windows alike: read to the end of what the writer sends, and
// a silent writer that only a cancel gets past.
#include "Aiuti.h"
#include "Tubo.h"

#include "AnalisiFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

namespace varnel {
namespace {

using namespace std::chrono_literals;

TEST(Tubi, APipeIsReadToItsEndAndASilentOneUntilACancel)
{
    VARNEL_SOLO_FILE_DI_SISTEMA("no pipes");
    const prova::CartellaTemporanea cartella;
    for (const bool muto : {false, true}) {
        SCOPED_TRACE(muto ? "silent" : "closed");
        prova::Tubo tubo(cartella, muto ? "muto" : "chiuso");
        Avanzamento avanzamento;
        auto esito = std::async(std::launch::async,
                                [&] { return AnalizzaFile(tubo.percorso(), ModoLettere::Minuscole, avanzamento); });
        if (!tubo.attendiLettore()) {
            avanzamento.annulla();
            FAIL() << "the reader did not open the pipe";
        }
        tubo.scrivi("abc,");
        if (muto) {
            // The writer stays silent, its end open: only the cancel ends the reading.
            for (int i = 0; i < 10000 && avanzamento.letti() < 4; ++i)
                std::this_thread::sleep_for(1ms);
            EXPECT_EQ(avanzamento.letti(), 4u);
            avanzamento.annulla();
            ASSERT_EQ(esito.wait_for(10s), std::future_status::ready) << "the cancel was not seen";
            const auto annullata = esito.get();
            ASSERT_FALSE(annullata.riuscito());
            EXPECT_EQ(annullata.errore().motivo, Motivo::Annullata);
        } else {
            std::this_thread::sleep_for(60ms);  // the reader waits more than one slice
            tubo.scrivi(" de");
            tubo.chiudi();
            const auto analisi = esito.get();
            ASSERT_TRUE(analisi.riuscito()) << analisi.errore().dettaglio;
            EXPECT_EQ(analisi.valore().lunghezza, 7u);  // abc, CR LF, de
            EXPECT_EQ(Totale(analisi.valore(), true), 5u);
            EXPECT_EQ(avanzamento.dimensione(), 0u);
        }
    }
}

}  // namespace
}  // namespace varnel
