// SPDX-License-Identifier: GPL-3.0-or-later
// Files that a user may pick by mistake or that stress the reader: each gets a correct answer.
#include "Aiuti.h"

#include "AnalisiFile.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

class FileDifficili : public testing::Test {
protected:
    Analisi analizza(const std::string& nome, std::string_view contenuto)
    {
        const auto esito = prova::Analizza(cartella.scrivi(nome, contenuto), ModoLettere::SenzaDistinzione);
        EXPECT_TRUE(esito.riuscito());
        return esito.riuscito() ? esito.valore() : Analisi{};
    }
    prova::CartellaTemporanea cartella;
};

TEST_F(FileDifficili, EachGetsTheRightLengthAndLetters)
{
    using namespace std::string_view_literals;
    std::string righe;
    for (int i = 0; i < 10'000'000; ++i)
        righe += "\r\n";
    std::string riga(64u << 20, 'x');  // one line without end across many buffers
    riga[12345] = ' ';
    riga.back() = 'Q';
    const struct {
        std::string nome, contenuto;
        std::uint64_t lunghezza, lettere;
        Codifica codifica;
    } casi[] = {
        {"vuote.txt", righe, 2u * (10'000'000 - 1), 0, Codifica::Utf8},  // one empty field a line, joined by CR LF
        {"riga.txt", riga, riga.size(), riga.size() - 1, Codifica::Utf8},
        {"utf16.txt",
         std::string("\xFF\xFE"
                     "C\0i\0a\0o\0,\0 \0\xE8\0\r\0\n\0"sv),
         7, 4, Codifica::Utf16LE},  // Ciao, CR LF, è
        {"vuoto.txt", "", 0, 0, Codifica::Utf8},
    };
    for (const auto& caso : casi) {
        const Analisi analisi = analizza(caso.nome, caso.contenuto);
        EXPECT_EQ(analisi.lunghezza, caso.lunghezza) << caso.nome;
        EXPECT_EQ(Totale(analisi, true), caso.lettere) << caso.nome;
        EXPECT_EQ(analisi.codifica, caso.codifica) << caso.nome;
    }
}

}  // namespace
}  // namespace varnel
