// SPDX-License-Identifier: GPL-3.0-or-later
// A file read in ranges by several workers, each reading at its own positions, gives exactly what
// one reading in order gives, wherever the ranges cut it; a cancel at any moment ends it cleanly.
#include "Aiuti.h"

#include "AnalisiFile.h"
#include "LeggiTesto.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace varnel {
namespace {

using dettaglio::Opzioni;

TEST(ATratti, GivesWhatOneReadingInOrderGives)
{
    // Each text has something for a range edge to cut: quotes opened before it and closed after, CR LF
    // pairs, blanks at a field's start, multi-byte characters, a byte-order mark.
    std::mt19937 caso(11);
    const std::string mescolato = prova::Genera(caso, 4000, 3, true);
    std::string sequenze;  // a sequence cut everywhere
    for (int i = 0; i < 300; ++i)
        sequenze += "\xF0\x9F\x98\x80\xC3\xA8,";
    // Strings first, not literals: GCC 12 for MinGW warns falsely (-Wrestrict) on literal + temporary.
    const std::string testi[] = {
        mescolato,
        "\xEF\xBB\xBF" + mescolato,
        "\xEF\xBB\xBF\"a,b\"" + mescolato,
        mescolato + "\xE8" + "abc",  // invalid UTF-8 late
        "\xEF\xBB\xBF  \"q," + mescolato + "\xC3",
        std::string("\"") + std::string(3000, 'x') + ",\r\n" + std::string(2000, 'y'),    // an unclosed quote
        std::string("ab,\"") + std::string(2500, ',') + "\r\n" + mescolato + "\"\r\ncd",  // one long quoted field
        std::string(999, '"'),
        std::string(1000, '\r') + std::string(1001, '\n') + "\r\n\r\n\n\r",
        sequenze,
    };
    const prova::CartellaTemporanea cartella;
    for (const auto& byte : testi) {
        SCOPED_TRACE(testing::PrintToString(byte.substr(0, 40)));
        const auto percorso = cartella.scrivi("testo.txt", byte);
        const auto testo = LeggiTesto(percorso);
        ASSERT_TRUE(testo.riuscito());
        for (const Criterio& criterio : {Criterio(ModoLettere::SenzaDistinzione), Criterio(prova::SimboliDiProva)}) {
            const auto inOrdine = prova::Analizza(percorso, criterio);  // a small file is read in order
            ASSERT_TRUE(inOrdine.riuscito());
            ASSERT_EQ(inOrdine.valore().lunghezza, testo.valore().size());
            for (const std::size_t tratto : {3u, 4u, 5u, 7u, 64u, 333u, 4096u}) {
                for (const unsigned lavoratori : {1u, 2u, 3u, 8u}) {
                    Avanzamento avanzamento;
                    const auto aTratti = dettaglio::AnalizzaFileCon(
                        percorso, criterio, avanzamento, Opzioni{.lavoratori = lavoratori, .lunghezzaTratto = tratto});
                    ASSERT_TRUE(aTratti.riuscito());
                    EXPECT_EQ(aTratti.valore(), inOrdine.valore())
                        << "ranges of " << tratto << ", " << lavoratori << " workers";
                    EXPECT_EQ(avanzamento.letti(), byte.size());
                }
            }
        }
    }
}

TEST(ATrattiAnnullata, ACancelAtAnyMomentEndsCleanly)
{
    prova::CartellaTemporanea cartella;
    std::mt19937 caso(5);
    const std::string byte = prova::Genera(caso, 24u << 20, 3, true);
    const auto percorso = cartella.scrivi("grande.txt", byte);
    const Opzioni opzioni{.lavoratori = 4, .lunghezzaTratto = 1 << 20};
    const Analisi inOrdine = prova::Flusso(byte, ModoLettere::Minuscole, opzioni.kernel, caso, byte.size());
    // Uncancelled, eight workers reading many small ranges at once, each at its own positions.
    Avanzamento intero;
    const auto completa = dettaglio::AnalizzaFileCon(percorso, ModoLettere::Minuscole, intero,
                                                     Opzioni{.lavoratori = 8, .lunghezzaTratto = 4099});
    ASSERT_TRUE(completa.riuscito());
    EXPECT_EQ(completa.valore(), inOrdine);
    for (int giro = 0; giro < 12; ++giro) {
        Avanzamento avanzamento;
        const auto attesa = std::chrono::microseconds(std::uniform_int_distribution<int>(0, 20000)(caso));
        std::thread annulla([&] {
            std::this_thread::sleep_for(attesa);
            avanzamento.annulla();
        });
        const auto esito = dettaglio::AnalizzaFileCon(percorso, ModoLettere::Minuscole, avanzamento, opzioni);
        annulla.join();
        if (esito.riuscito())
            EXPECT_EQ(esito.valore(), inOrdine);  // it ended before the cancel came
        else
            EXPECT_EQ(esito.errore().motivo, Motivo::Annullata);
    }
}

}  // namespace
}  // namespace varnel
