// SPDX-License-Identifier: GPL-3.0-or-later
// The field reader, the code pages and the counting of a text, on small examples; text analysed
// from memory, as the clipboard gives it; a file read in ranges by several workers, each reading at
// its own positions, which gives exactly what one reading in order gives, wherever the ranges cut
// it, and which a cancel at any moment ends cleanly.
#include "Aiuti.h"

#include "AnalisiFile.h"
#include "AnalisiTesto.h"
#include "Codifica.h"
#include "LeggiTesto.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace varnel {
namespace {

using namespace std::string_view_literals;

std::u32string Testo(std::string_view byte) { return CampiInTesto(Decodifica(byte)); }

Simboli SimboliDa(std::u32string_view testo) { return SimboliDaTesto(testo).value(); }

TEST(CampiInTesto, SeparatesFieldsAndJoinsThemWithCrLf)
{
    const std::pair<std::string_view, std::u32string_view> casi[] = {
        {"Ab, c", U"Ab\r\nc"},
        {"abc\r\ndef\r\n", U"abc\r\ndef"},  // 8 characters: the last line end goes
        {"\"x, y\"\r\n", U"x, y"},          // the quoted comma and blank stay
        {"a\r\n\r\nb", U"a\r\n\r\nb"},      // an empty line is an empty field
        {"", U""},
        {"   ", U""},  // one empty field, its CR LF dropped
        {"a,", U"a"},
        {",,", U"\r\n"},
        {"a\rb\nc", U"a\r\nb\r\nc"},                                // lone CR and lone LF end lines
        {"a\r\r\nb", U"a\r\n\r\nb"},                                // CR, then CR LF: an empty line between
        {"ab\"c,d", U"ab\"c\r\nd"},                                 // a quote inside an unquoted field is kept
        {"\"ab\"cd ,e", U"abcd \r\ne"},                             // after the closing quote the field goes on
        {"a  ,  b  ", U"a  \r\nb  "},                               // trailing blanks kept, leading skipped
        {"\ta", U"\ta"},                                            // only the blank is skipped
        {"\"ab,\r\ncd", U"ab,\r\ncd"},                              // an unclosed quote runs to the end
        {"\"a\nb\"\r\nc", U"a\nb\r\nc"},                            // line ends inside quotes stay as written
        {"12/03/2024,#NULL#,1e5", U"12/03/2024\r\n#NULL#\r\n1e5"},  // no numbers, dates or markers
    };
    for (const auto& [byte, testo] : casi)
        EXPECT_EQ(Testo(byte), testo) << byte;
}

TEST(Decodifica, ChoosesTheCodePage)
{
    const std::pair<std::string_view, std::u32string_view> casi[] = {
        {"\xEF\xBB\xBF\xC3\xA8", U"è"},                        // UTF-8, its byte-order mark skipped
        {"\xE8\x80", U"è€"},                                   // not UTF-8: Windows-1252
        {"\xEF\xBB\xBF\xE8", U"ï»¿è"},                         // a mark does not make bad UTF-8 good
        {"\xFF\xFE\x61\0\x3D\xD8\x00\xDE"sv, U"a\U0001F600"},  // UTF-16 LE with a pair
        {"\xFE\xFF\0a\xD8\x3D"sv, U"a\uFFFD"},                 // UTF-16 BE, a lone surrogate at the end
        {"\xC0\xAF", U"À¯"},                                   // an overlong form is not UTF-8
        {"\xED\xA0\x80", U"í\u00A0€"},                         // nor is an encoded surrogate
        {"a\0b"sv, U"a\0b"sv},
    };
    for (const auto& [byte, testo] : casi)
        EXPECT_EQ(Decodifica(byte), testo) << testing::PrintToString(byte);
}

TEST(ContaLettere, FiveCharactersUnderEachMode)
{
    const std::u32string testo = Testo("Ab, c");
    ASSERT_EQ(testo.size(), 5u);
    const struct {
        ModoLettere modo;
        std::array<std::uint64_t, 3> abc;
        std::uint64_t lettere;
    } casi[] = {{ModoLettere::Minuscole, {0, 1, 1}, 2},
                {ModoLettere::Maiuscole, {1, 0, 0}, 1},
                {ModoLettere::SenzaDistinzione, {1, 1, 1}, 3}};
    for (const auto& caso : casi) {
        const Analisi analisi{ContaLettere(testo, caso.modo), testo.size()};
        EXPECT_EQ((std::array{analisi.conteggi[0], analisi.conteggi[1], analisi.conteggi[2]}), caso.abc);
        EXPECT_EQ(Totale(analisi, true), caso.lettere);
        EXPECT_EQ(Totale(analisi, false), 5u);
    }
}

TEST(ContaLettere, AccentsDigitsAndPunctuationMatchNothing)
{
    const std::u32string testo = Testo("àèéìòù ÀÈ 0123456789 !?;:.-_()[]");
    const Analisi analisi{ContaLettere(testo, ModoLettere::SenzaDistinzione), testo.size()};
    EXPECT_EQ(Totale(analisi, true), 0u);
    EXPECT_EQ(Totale(analisi, false), testo.size());
}

TEST(ContaSimboli, MatchesExactlyAndCountsRepeatsInEverySlot)
{
    const std::u32string testo = Testo("\"x, y\",xX 7");
    const Simboli simboli = SimboliDa(U"abx, defghxjklmnopqrstuvw7");  // x twice, a comma, a blank
    const Conteggi conteggi = ContaSimboli(testo, simboli);
    EXPECT_EQ(conteggi[2], 2u);  // x, not X
    EXPECT_EQ(conteggi[10], 2u);
    EXPECT_EQ(conteggi[3], 1u);  // only the comma inside quotes reaches the text
    EXPECT_EQ(conteggi[4], 2u);  // the quoted blank and the one before 7; none skipped at a field start
    EXPECT_EQ(conteggi[25], 1u);
}

std::string U8(std::u8string_view testo) { return {testo.begin(), testo.end()}; }

TEST(TestoInMemoria, CountsAsTheSameTextInAUtf8File)
{
    // 256 KiB is the slice converted at a time: a surrogate pair and a CR LF fall across it.
    const std::string lungo(256 * 1024 - 1, 'q');
    const std::u16string lungo16(lungo.begin(), lungo.end());
    const std::pair<std::u16string, std::string> testi[] = {
        // and the same text as a file holds it
        {u"", ""},
        {u"Nella mezzo del cammin, QUA", "Nella mezzo del cammin, QUA"},
        {u"Perché è così? \U0001F600 ÀÈ", U8(u8"Perché è così? \U0001F600 ÀÈ")},
        {u"\"a,b\"\r\n\"c\"\"d\" e,f\r\n", "\"a,b\"\r\n\"c\"\"d\" e,f\r\n"},
        {u"\uFEFFabc", std::string("\xEF\xBB\xBF") + "abc"},
        {u"a\xD800z\xDC00", U8(u8"a\uFFFDz\uFFFD")},  // lone surrogates
        {lungo16 + u"\U0001F600e", lungo + U8(u8"\U0001F600e")},
        {lungo16 + u"\r\nx", lungo + "\r\nx"},
    };
    prova::CartellaTemporanea cartella;
    for (const auto& [utf16, utf8] : testi) {
        SCOPED_TRACE(testing::PrintToString(utf8.substr(0, 40)));
        const auto file = cartella.scrivi("testo.txt", utf8);
        for (const Criterio& criterio : {Criterio{ModoLettere::Minuscole}, Criterio{ModoLettere::SenzaDistinzione},
                                         Criterio{prova::SimboliDiProva}}) {
            Avanzamento avanzamento;
            const auto daMemoria = AnalizzaTesto(utf16, criterio, avanzamento);
            const auto daFile = prova::Analizza(file, criterio);
            ASSERT_TRUE(daMemoria.riuscito() && daFile.riuscito());
            EXPECT_EQ(daMemoria.valore(), daFile.valore());
            EXPECT_EQ(avanzamento.letti(), utf8.size());
            EXPECT_EQ(avanzamento.dimensione(), utf8.size());
        }
    }
}

TEST(TestoInMemoria, CancelEndsTheAnalysis)
{
    Avanzamento avanzamento;
    avanzamento.annulla();
    EXPECT_EQ(AnalizzaTesto(u"abc", ModoLettere::Minuscole, avanzamento).errore().motivo, Motivo::Annullata);
}

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
