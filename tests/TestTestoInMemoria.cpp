// SPDX-License-Identifier: GPL-3.0-or-later
// Text analysed from memory, the results as a table, the reference markers.
#include "Aiuti.h"

#include "AnalisiTesto.h"
#include "Esportazione.h"
#include "Riferimento.h"
#include "Risultati.h"

#include <gtest/gtest.h>

#include <fstream>
#include <numeric>

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
    const auto esito = AnalizzaTesto(u"abc", ModoLettere::Minuscole, avanzamento);
    ASSERT_FALSE(esito.riuscito());
    EXPECT_EQ(esito.errore().motivo, Motivo::Annullata);
}

struct Tabella {
    const char* nome;
    FormatoTabella formato;
    std::vector<std::string> righe;  // runs of rows expected, in order
};

void PrintTo(const Tabella& tabella, std::ostream* uscita) { *uscita << tabella.nome; }

class Tabelle : public testing::TestWithParam<Tabella> {};

TEST_P(Tabelle, WritesRowsInWindowOrderAndQuotesOnlyWhatNeedsIt)
{
    // Symbols of the advanced window that a table must quote: a comma, a quote, CR, LF, a tab.
    std::array<std::string, NumeroSlot> simboli;
    simboli.fill("x");
    for (std::size_t k = 0; const char* simbolo : {"a", "b", ",", "\"", "\r", "\n", "\xC3\xA8", "\t"})
        simboli[k++] = simbolo;
    Conteggi conteggi{};
    conteggi[0] = 1;
    conteggi[2] = 2;
    const auto testo = varnel::TabellaRisultati(simboli, conteggi, 3, GetParam().formato);
    std::size_t da = 0;
    for (const auto& riga : GetParam().righe) {
        const auto dove = testo.find(riga, da);  // the rows between runs are all "x"
        ASSERT_NE(dove, std::string::npos) << riga << " in\n" << testo;
        da = dove + riga.size();
    }
    EXPECT_EQ(da, testo.size()) << "the last row expected ends the table";
}

INSTANTIATE_TEST_SUITE_P(
    Formati, Tabelle,
    testing::Values(
        Tabella{"appunti_italiano",
                {"\t", ",", "\n"},
                {"Simbolo\tConteggio\tPercentuale\na\t1\t33,3333333333333\nb\t0\t0\n,\t2\t66,6666666666667\n"
                 "\"\"\"\"\t0\t0\n\"\r\"\t0\t0\n\"\n\"\t0\t0\n\xC3\xA8\t0\t0\n\"\t\"\t0\t0\nx\t0\t0\n",
                 "\nTotale\t3\n"}},
        Tabella{"csv_italiano",
                FormatoCsv(","),
                {"Simbolo;Conteggio;Percentuale\r\na;1;33,3333333333333\r\nb;0;0\r\n,;2;66,6666666666667\r\n"
                 "\"\"\"\";0;0\r\n\"\r\";0;0\r\n\"\n\";0;0\r\n\xC3\xA8;0;0\r\n\t;0;0\r\n",
                 "\r\nTotale;3\r\n"}},
        Tabella{"csv_inglese",
                FormatoCsv("."),
                {"Simbolo,Conteggio,Percentuale\r\na,1,33.3333333333333\r\nb,0,0\r\n\",\",2,66.6666666666667\r\n",
                 "\r\nTotale,3\r\n"}}),
    [](const auto& caso) { return std::string(caso.param.nome); });

TEST(Riferimento, TablesAddUpToAHundred)
{
    for (const Lingua lingua : {Lingua::Italiano, Lingua::Inglese}) {
        const auto& frequenze = FrequenzeLettere(lingua);
        EXPECT_NEAR(std::accumulate(frequenze.begin(), frequenze.end(), 0.0), 100.0, 1e-9);
    }
}

TEST(Riferimento, ScalesTheSharesByTheLettersCountedAndByTheStretch)
{
    const auto& italiano = FrequenzeLettere(Lingua::Italiano);
    Conteggi conteggi{};
    conteggi[3] = 30;
    conteggi[25] = 10;
    struct Caso {
        std::uint64_t totale;
        StatoAnalisi stato;
        double quota;
        double fattore;
    };
    for (const auto& [totale, stato, quota, fattore] : {
             Caso{0, {}, 1.0, 1.0},                             // before any analysis
             Caso{40, {75, {}, {}, {}}, 1.0, 1.0},              // only the letters counted
             Caso{160, {18.75, {}, {}, {}}, 0.25, 1.0},         // the whole text
             Caso{160, {18.75, {}, 1, {}}, 0.25, 100 / 18.75},  // stretched
             Caso{160, {0, {}, 1, {}}, 0.25, 1.0},
         }) {
        const auto percentuali = PercentualiRiferimento(Lingua::Italiano, conteggi, totale);
        for (std::size_t k = 0; k < NumeroSlot; ++k) {
            EXPECT_DOUBLE_EQ(percentuali[k], italiano[k] * quota) << totale << " slot " << k;
            EXPECT_FLOAT_EQ(TopRiferimento(percentuali[k], stato),
                            static_cast<float>(4440 - percentuali[k] * 25 * fattore));
        }
    }
}

}  // namespace
}  // namespace varnel::prova
