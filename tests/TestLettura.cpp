// SPDX-License-Identifier: GPL-3.0-or-later
// The field reader, the code pages and the counting of a text, on small examples.
#include "AnalisiFile.h"
#include "Codifica.h"
#include "LeggiTesto.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

using namespace std::string_view_literals;

std::u32string Testo(std::string_view byte) { return CampiInTesto(Decodifica(byte)); }

Simboli SimboliDa(std::u32string_view testo) { return SimboliDaTesto(testo).value(); }

TEST(CampiInTesto, SeparatesFieldsAndJoinsThemWithCrLf)
{
    EXPECT_EQ(Testo("Ab, c"), U"Ab\r\nc");
    EXPECT_EQ(Testo("abc\r\ndef\r\n"), U"abc\r\ndef");  // 8 characters: the last line end goes
    EXPECT_EQ(Testo("\"x, y\"\r\n"), U"x, y");          // the quoted comma and blank stay
    EXPECT_EQ(Testo("a\r\n\r\nb"), U"a\r\n\r\nb");      // an empty line is an empty field
    EXPECT_EQ(Testo(""), U"");
    EXPECT_EQ(Testo("   "), U"");  // one empty field, its CR LF dropped
    EXPECT_EQ(Testo("a,"), U"a");
    EXPECT_EQ(Testo(",,"), U"\r\n");
}

TEST(CampiInTesto, FinerRules)
{
    EXPECT_EQ(Testo("a\rb\nc"), U"a\r\nb\r\nc");      // lone CR and lone LF end lines
    EXPECT_EQ(Testo("a\r\r\nb"), U"a\r\n\r\nb");      // CR, then CR LF: an empty line between
    EXPECT_EQ(Testo("ab\"c,d"), U"ab\"c\r\nd");       // a quote inside an unquoted field is kept
    EXPECT_EQ(Testo("\"ab\"cd ,e"), U"abcd \r\ne");   // after the closing quote the field goes on
    EXPECT_EQ(Testo("a  ,  b  "), U"a  \r\nb  ");     // trailing blanks kept, leading skipped
    EXPECT_EQ(Testo("\ta"), U"\ta");                  // only the blank is skipped
    EXPECT_EQ(Testo("\"ab,\r\ncd"), U"ab,\r\ncd");    // an unclosed quote runs to the end
    EXPECT_EQ(Testo("\"a\nb\"\r\nc"), U"a\nb\r\nc");  // line ends inside quotes stay as written
    EXPECT_EQ(Testo("12/03/2024,#NULL#,1e5"), U"12/03/2024\r\n#NULL#\r\n1e5");  // no numbers, dates or markers
}

TEST(Decodifica, ChoosesTheCodePage)
{
    EXPECT_EQ(Decodifica("\xEF\xBB\xBF"
                         "\xC3\xA8"),
              U"è");                           // UTF-8, its byte-order mark skipped
    EXPECT_EQ(Decodifica("\xE8\x80"), U"è€");  // not UTF-8: Windows-1252
    EXPECT_EQ(Decodifica("\xEF\xBB\xBF"
                         "\xE8"),
              U"ï»¿è");  // a mark does not make bad UTF-8 good
    EXPECT_EQ(Decodifica("\xFF\xFE"
                         "a\0\x3D\xD8\x00\xDE"sv),
              U"a\U0001F600");                                   // UTF-16 LE with a pair
    EXPECT_EQ(Decodifica("\xFE\xFF\0a\xD8\x3D"sv), U"a\uFFFD");  // UTF-16 BE, a lone surrogate at the end
    EXPECT_EQ(Decodifica("\xC0\xAF"), U"À¯");                    // an overlong form is not UTF-8
    EXPECT_EQ(Decodifica("\xED\xA0\x80"), U"í\u00A0€");          // nor is an encoded surrogate
    EXPECT_EQ(Decodifica(std::string_view("a\0b", 3)), std::u32string(U"a\0b", 3));
}

TEST(ContaLettere, FiveCharactersUnderEachMode)
{
    const std::u32string testo = Testo("Ab, c");
    ASSERT_EQ(testo.size(), 5u);
    const Analisi minuscole{ContaLettere(testo, ModoLettere::Minuscole), testo.size()};
    const Analisi maiuscole{ContaLettere(testo, ModoLettere::Maiuscole), testo.size()};
    const Analisi entrambe{ContaLettere(testo, ModoLettere::SenzaDistinzione), testo.size()};
    EXPECT_EQ(minuscole.conteggi[1], 1u);
    EXPECT_EQ(minuscole.conteggi[2], 1u);
    EXPECT_EQ(minuscole.conteggi[0], 0u);
    EXPECT_EQ(maiuscole.conteggi[0], 1u);
    EXPECT_EQ(entrambe.conteggi[0] + entrambe.conteggi[1] + entrambe.conteggi[2], 3u);
    EXPECT_EQ(Totale(minuscole, false), 5u);
    EXPECT_EQ(Totale(minuscole, true), 2u);
    EXPECT_EQ(Totale(maiuscole, true), 1u);
    EXPECT_EQ(Totale(entrambe, true), 3u);
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

TEST(SimboliDaTesto, CountsCodePoints)
{
    EXPECT_FALSE(SimboliDaTesto(U"abcdefghijklmnopqrstuvwxy"));
    EXPECT_FALSE(SimboliDaTesto(U"abcdefghijklmnopqrstuvwxyz!"));
    EXPECT_FALSE(SimboliDaTesto(U""));
    EXPECT_TRUE(SimboliDaTesto(U"abcdefghijklm opqrstuvwxyz"));
    EXPECT_TRUE(SimboliDaTesto(U"αβγδεζηθικλμνξοπρστυφχψω\U0001F600€"));
}

}  // namespace
}  // namespace varnel
