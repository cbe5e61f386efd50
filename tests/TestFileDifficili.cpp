// SPDX-License-Identifier: GPL-3.0-or-later
// Files that a user may pick by mistake or that stress the reader: each gets a correct answer.
#include "Aiuti.h"

#include "AnalisiFile.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

TEST(FileDifficili, EachGetsTheRightLengthAndLetters)
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
    const prova::CartellaTemporanea cartella;
    for (const auto& caso : casi) {
        const auto esito = prova::Analizza(cartella.scrivi(caso.nome, caso.contenuto), ModoLettere::SenzaDistinzione);
        ASSERT_TRUE(esito.riuscito()) << caso.nome;
        EXPECT_EQ(esito.valore().lunghezza, caso.lunghezza) << caso.nome;
        EXPECT_EQ(Totale(esito.valore(), true), caso.lettere) << caso.nome;
        EXPECT_EQ(esito.valore().codifica, caso.codifica) << caso.nome;
    }
}

}  // namespace
}  // namespace varnel
