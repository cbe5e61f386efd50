// SPDX-License-Identifier: GPL-3.0-or-later
// Files that a user may pick by mistake or that stress the reader: each gets a correct answer.
#include "Aiuti.h"

#include "AnalisiFile.h"
#include "LeggiTesto.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

class FileDifficili : public testing::Test {
protected:
    Analisi analizza(const std::string& nome, std::string_view contenuto,
                     const Criterio& criterio = ModoLettere::SenzaDistinzione)
    {
        const auto esito = prova::Analizza(cartella.scrivi(nome, contenuto), criterio);
        EXPECT_TRUE(esito.riuscito());
        return esito.riuscito() ? esito.valore() : Analisi{};
    }
    prova::CartellaTemporanea cartella;
};

TEST_F(FileDifficili, TenMillionEmptyLines)
{
    std::string righe;
    for (int i = 0; i < 10'000'000; ++i)
        righe += "\r\n";
    const Analisi analisi = analizza("vuote.txt", righe);
    EXPECT_EQ(analisi.lunghezza, 2u * (10'000'000 - 1));  // one empty field a line, joined by CR LF
    EXPECT_EQ(Totale(analisi, true), 0u);
}

TEST_F(FileDifficili, OneLineWithoutEndAcrossManyBuffers)
{
    std::string riga(64u << 20, 'x');
    riga[12345] = ' ';
    riga.back() = 'Q';
    const Analisi analisi = analizza("riga.txt", riga);
    EXPECT_EQ(analisi.lunghezza, riga.size());
    EXPECT_EQ(analisi.conteggi[23], riga.size() - 2);
    EXPECT_EQ(analisi.conteggi[16], 1u);
}

TEST_F(FileDifficili, BinaryDataWithNulBytes)
{
    std::string binario(3 << 20, '\0');
    for (std::size_t i = 0; i < binario.size(); i += 97)
        binario[i] = static_cast<char>(i * 31);
    const Analisi analisi = analizza("video.bin", binario);
    EXPECT_EQ(analisi.codifica, Codifica::Windows1252);  // no valid UTF-8: one byte, one character
    const auto riferimento = LeggiTesto(cartella.percorso() / "video.bin");
    ASSERT_TRUE(riferimento.riuscito());
    EXPECT_EQ(analisi.lunghezza, riferimento.valore().size());
    EXPECT_EQ(analisi.conteggi, ContaLettere(riferimento.valore(), ModoLettere::SenzaDistinzione));
}

TEST_F(FileDifficili, Utf16WithByteOrderMark)
{
    using namespace std::string_view_literals;
    const Analisi analisi = analizza("utf16.txt", "\xFF\xFE"
                                                  "C\0i\0a\0o\0,\0 \0\xE8\0\r\0\n\0"sv);
    EXPECT_EQ(analisi.codifica, Codifica::Utf16LE);
    EXPECT_EQ(analisi.lunghezza, 7u);  // Ciao, CR LF, è
    EXPECT_EQ(Totale(analisi, true), 4u);
}

TEST_F(FileDifficili, EmptyFile)
{
    const Analisi analisi = analizza("vuoto.txt", "");
    EXPECT_EQ(analisi.lunghezza, 0u);
    EXPECT_EQ(Totale(analisi, true), 0u);
}

TEST_F(FileDifficili, ASystemFileThatReportsMoreThanItHoldsIsReadWhole)
{
#ifdef _WIN32
    GTEST_SKIP() << "/sys is Linux's: under Wine the path would reach Linux's own file through drive Z:";
#endif
    // The system reports such files as 4096 bytes long, whatever they hold.
    const std::filesystem::path percorso = "/sys/devices/system/cpu/online";
    if (!std::filesystem::exists(percorso))
        GTEST_SKIP() << percorso << " is not on this system";
    const auto esito = prova::Analizza(percorso, ModoLettere::SenzaDistinzione);
    ASSERT_TRUE(esito.riuscito()) << esito.errore().dettaglio;
    const auto riferimento = LeggiTesto(percorso);
    ASSERT_TRUE(riferimento.riuscito());
    EXPECT_EQ(esito.valore().lunghezza, riferimento.valore().size());
    EXPECT_GT(esito.valore().lunghezza, 0u);
}

}  // namespace
}  // namespace varnel
