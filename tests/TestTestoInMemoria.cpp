// SPDX-License-Identifier: GPL-3.0-or-later
// Text analysed from memory, as the clipboard gives it.
#include "Aiuti.h"

#include "AnalisiTesto.h"

#include <gtest/gtest.h>

namespace varnel::prova {
namespace {

struct Testo {
    const char* nome;
    std::u16string utf16;
    std::string utf8;  // the same text as a file holds it
};

void PrintTo(const Testo& testo, std::ostream* uscita) { *uscita << testo.nome; }

std::string U8(std::u8string_view testo) { return {testo.begin(), testo.end()}; }

std::vector<Testo> Testi()
{
    // 256 KiB is the slice converted at a time: a surrogate pair and a CR LF fall across it.
    const std::string lungo(256 * 1024 - 1, 'q');
    const std::u16string lungo16(lungo.begin(), lungo.end());
    return {
        {"vuoto", u"", ""},
        {"ascii", u"Nella mezzo del cammin, QUA", "Nella mezzo del cammin, QUA"},
        {"accenti_emoji", u"Perché è così? \U0001F600 ÀÈ", U8(u8"Perché è così? \U0001F600 ÀÈ")},
        {"campi_crlf", u"\"a,b\"\r\n\"c\"\"d\" e,f\r\n", "\"a,b\"\r\n\"c\"\"d\" e,f\r\n"},
        {"bom", u"\uFEFFabc",
         "\xEF\xBB\xBF"
         "abc"},
        {"surrogato_solo", u"a\xD800z\xDC00", U8(u8"a\uFFFDz\uFFFD")},
        {"coppia_a_cavallo", lungo16 + u"\U0001F600e", lungo + U8(u8"\U0001F600e")},
        {"crlf_a_cavallo", lungo16 + u"\r\nx", lungo + "\r\nx"},
    };
}

class TestoInMemoria : public testing::TestWithParam<Testo> {};

TEST_P(TestoInMemoria, CountsAsTheSameTextInAUtf8File)
{
    CartellaTemporanea cartella;
    const auto file = cartella.scrivi("testo.txt", GetParam().utf8);
    for (const Criterio& criterio :
         {Criterio{ModoLettere::Minuscole}, Criterio{ModoLettere::SenzaDistinzione}, Criterio{SimboliDiProva}}) {
        Avanzamento avanzamento;
        const auto daMemoria = AnalizzaTesto(GetParam().utf16, criterio, avanzamento);
        const auto daFile = Analizza(file, criterio);
        ASSERT_TRUE(daMemoria.riuscito() && daFile.riuscito());
        EXPECT_EQ(daMemoria.valore(), daFile.valore());
        EXPECT_EQ(avanzamento.letti(), GetParam().utf8.size());
        EXPECT_EQ(avanzamento.dimensione(), GetParam().utf8.size());
    }
}

INSTANTIATE_TEST_SUITE_P(Testi, TestoInMemoria, testing::ValuesIn(Testi()),
                         [](const auto& caso) { return std::string(caso.param.nome); });

TEST(TestoInMemoria, CancelEndsTheAnalysis)
{
    Avanzamento avanzamento;
    avanzamento.annulla();
    EXPECT_EQ(AnalizzaTesto(u"abc", ModoLettere::Minuscole, avanzamento).errore().motivo, Motivo::Annullata);
}

}  // namespace
}  // namespace varnel::prova
