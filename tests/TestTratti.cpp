// SPDX-License-Identifier: GPL-3.0-or-later
// A file split by the plan into ranges, each fed to its own AnalisiTratto in slices and the ranges
// joined, gives exactly what one AnalisiPezzi fed the whole file in order gives, wherever the range
// and slice edges cut a sequence, a CR LF pair or a quoted field.
#include "Aiuti.h"

#include "AnalisiPezzi.h"
#include "AnalisiTratti.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

Analisi InOrdine(std::string_view byte, const Criterio& criterio)
{
    AnalisiPezzi analisi(criterio);
    analisi.consuma(prova::Byte(byte));
    return analisi.concludi();
}

// Each range read on its own in slices of `pezzo` bytes, as a worker that has only its range would.
std::optional<Analisi> ATratti(std::string_view testo, const Criterio& criterio, const PianoTratti& piano,
                               std::size_t pezzo)
{
    const auto byte = prova::Byte(testo);
    std::vector<std::uint8_t> parziali;
    for (std::size_t i = 0; i < piano.tratti; ++i) {
        const auto da = static_cast<std::size_t>(piano.da(i));
        const auto a = static_cast<std::size_t>(piano.a(i));
        const auto prima = static_cast<std::size_t>(piano.prima(i));
        AnalisiTratto tratto(criterio, piano, i, byte.subspan(da - prima, prima));
        for (std::size_t p = da; p < a; p += pezzo)
            tratto.consuma(byte.subspan(p, std::min(pezzo, a - p)));
        const auto parziale = tratto.concludi();
        parziali.insert(parziali.end(), parziale.begin(), parziale.end());
    }
    return UnisciTratti(criterio, piano, parziali);
}

TEST(AnalisiTratti, GivesWhatOneReadingInOrderGives)
{
    std::mt19937 caso(17);
    const std::string mescolato = prova::Genera(caso, 3000, 3, true);
    // A string first, then literals: GCC 12 for MinGW warns falsely (-Wrestrict) on literal + temporary.
    const std::string bom = "\xEF\xBB\xBF";
    const std::string testi[] = {
        "ab\r\ncd\r\n\r\nef\r",                                      // CR LF pairs on every edge
        "x\xC3\xA8y\xE2\x82\xACz\xF0\x9F\x98\x80w\xC3\xA8\xC3\xA8",  // sequences of 2 to 4 bytes
        "a,\"b, c\r\n d\"\"e\",f\r\n\"open, g h\r\nI J\n",           // quoted fields, one never closed
        "  \"q\"  , \"\",\" ,\r\n\"",                                // blanks and quotes at a field's start
        bom + "\"a,b\"\r\n" + bom + "c",                             // a byte-order mark, and one as text
        bom,                                                         // nothing after the mark
        bom + "abc\xE8" + "def",                                     // not UTF-8: the mark is text
        std::string("\x80\xBF") + "abc\xF0\x9F\x98",                 // stray continuations, a cut sequence
        std::string("\xE8\xE9,\"\xE0\xB9\"") + "\r\n\xC3",           // Windows-1252 with fields
        std::string(40, '"') + std::string(9, '\r') + "\n",
        std::string("\xEF\xBB") + "x",  // two bytes of a mark
        mescolato,
        bom + mescolato,
    };
    for (const std::string& testo : testi) {
        SCOPED_TRACE(testing::PrintToString(testo.substr(0, 40)));
        for (const Criterio& criterio : {Criterio(ModoLettere::SenzaDistinzione), Criterio(prova::SimboliDiProva)}) {
            const Analisi atteso = InOrdine(testo, criterio);
            for (const std::size_t lunghezza : {3u, 4u, 5u, 6u, 7u, 11u, 64u, 1000u}) {
                const auto piano = dettaglio::Pianifica(testo.size(), testo.substr(0, 3),
                                                        dettaglio::Opzioni{.lunghezzaTratto = lunghezza});
                ASSERT_EQ(piano.tratti > 0, testo.size() > piano.inizio);
                for (const std::size_t pezzo : {1u, 2u, 3u, 5u, 4096u}) {
                    const auto unita = ATratti(testo, criterio, piano, pezzo);
                    ASSERT_TRUE(unita.has_value());
                    EXPECT_EQ(*unita, atteso) << "ranges of " << lunghezza << ", slices of " << pezzo;
                }
            }
        }
    }
}

TEST(AnalisiTratti, ThePlanTilesTheFileOrKeepsItWhole)
{
    const std::string utf16 = "\xFF\xFE";
    struct Caso {
        std::uint64_t dimensione;
        std::string iniziali;
        bool aTratti;
    };
    const Caso casi[] = {
        {0, "", false},
        {1 << 20, "abc", false},  // too small for workers to pay off
        {1ull << 30, "abc", true},
        {1ull << 30, "\xEF\xBB\xBF", true},
        {1ull << 30, utf16 + "a", false},  // UTF-16 is read in order
        {(1ull << 30) + 12345, "\xFE\xFF\x00", false},
        {(1ull << 30) + 12345, "a\xFF\xFE", true},
    };
    for (const auto& [dimensione, iniziali, aTratti] : casi) {
        for (const unsigned lavoratori : {1u, 2u, 4u}) {
            SCOPED_TRACE(testing::Message() << dimensione << " bytes, " << lavoratori << " workers");
            const PianoTratti piano = PianificaTratti(dimensione, iniziali, lavoratori);
            ASSERT_EQ(piano.tratti > 0, aTratti);
            if (!aTratti)
                continue;
            EXPECT_GE(piano.tratti, lavoratori);
            EXPECT_EQ(piano.da(0), iniziali.starts_with("\xEF\xBB\xBF") ? 3u : 0u);
            for (std::size_t i = 1; i < piano.tratti; ++i)
                EXPECT_EQ(piano.da(i), piano.a(i - 1));
            EXPECT_LT(piano.da(piano.tratti - 1), dimensione);
            EXPECT_EQ(piano.a(piano.tratti - 1), dimensione);
        }
    }
}

TEST(AnalisiTratti, RefusesResultsThatAreNotThePlans)
{
    const std::string testo(100, 'a');
    const auto piano = dettaglio::Pianifica(testo.size(), "aaa", dettaglio::Opzioni{.lunghezzaTratto = 30});
    ASSERT_EQ(piano.tratti, 4u);
    AnalisiTratto tratto(ModoLettere::Minuscole, piano, 0, {});
    tratto.consuma(prova::Byte(testo).first(30));
    const auto uno = tratto.concludi();
    EXPECT_FALSE(UnisciTratti(ModoLettere::Minuscole, piano, uno).has_value());  // one range of four
}

}  // namespace
}  // namespace varnel
