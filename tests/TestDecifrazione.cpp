// SPDX-License-Identifier: GPL-3.0-or-later
// The key, the text under it, the ranks, the statistics, the proposed key and the saved file.
#include "Aiuti.h"
#include "Cifrario.h"
#include "DecodificaFlusso.h"

#include <gtest/gtest.h>

using namespace varnel;
using namespace varnel::prova;

namespace {

Chiave ChiaveDa(std::string_view coppie)  // "qe xa": slot of q gets e, slot of x gets a
{
    Chiave chiave{};
    for (std::size_t i = 0; i + 1 < coppie.size(); i += 3)
        chiave[static_cast<std::size_t>(coppie[i] - 'a')] = coppie[i + 1];
    return chiave;
}

// Slot 0 '1', 1 'Σ', 2 emoji, 3 'q', 4 'Q'; the rest never occur.
const Simboli Avanzati = SimboliDaTesto(U"1Σ\U0001F600qQ\u00e0bcdefghijklmnopqrstu").value();

TEST(Sostituisce, KeepsCaseAndLeavesTheRest)
{
    const struct {
        Criterio criterio;
        Chiave chiave;
        std::u32string testo, atteso;
    } casi[] = {
        {ModoLettere::SenzaDistinzione, ChiaveDa("qe"), U"Qq xè!\r\n", U"Ee xè!\r\n"},
        {ModoLettere::Minuscole, ChiaveDa("qe"), U"Qq", U"Qe"},
        {ModoLettere::Maiuscole, ChiaveDa("qe"), U"Qq", U"Eq"},
        {ModoLettere::SenzaDistinzione, ChiaveDa("qe"), U"xyz", U"xyz"},          // no letter, no change
        {Avanzati, ChiaveDa("at bh cx dz ek"), U"1Σ\U0001F600qQ1x", U"tHxzKtx"},  // exact symbols
    };
    for (const auto& c : casi)
        EXPECT_EQ(Sostituzione(c.criterio, c.chiave).applica(c.testo), c.atteso);
}

TEST(Classifica, EqualCountsKeepWindowOrder)
{
    Conteggi conteggi{};
    conteggi[3] = 5, conteggi[1] = 5, conteggi[7] = 9, conteggi[25] = 5, conteggi[0] = 1;
    const auto ordine = Classifica(conteggi);
    const std::vector<std::size_t> primi(ordine.begin(), ordine.begin() + 6);
    EXPECT_EQ(primi, (std::vector<std::size_t>{7, 1, 3, 25, 0, 2}));
    // The frequency key gives the language's letters down that order.
    const auto chiave = ChiavePerFrequenza(conteggi, Lingua::Italiano);
    const auto lettere = ClassificaLettere(Lingua::Italiano);
    EXPECT_EQ(chiave[7], 'a' + static_cast<char>(lettere[0]));
    EXPECT_EQ(chiave[25], 'a' + static_cast<char>(lettere[3]));
}

TEST(Statistiche, ShortTextByHand)
{
    // "abba, cab": a 3, b 3, c 1; N = 7, Σ n(n−1) = 12, N(N−1) = 42.
    Conteggi conteggi{};
    conteggi[0] = 3, conteggi[1] = 3, conteggi[2] = 1;
    EXPECT_DOUBLE_EQ(IndiceCoincidenza(conteggi), 12.0 / 42.0);
    EXPECT_EQ(IndiceCoincidenza(Conteggi{}), 0.0);
    EXPECT_NEAR(IndiceCoincidenzaLingua(Lingua::Italiano), 0.074, 0.004);
    EXPECT_NEAR(IndiceCoincidenzaLingua(Lingua::Inglese), 0.066, 0.004);

    const auto sequenza = SequenzaSimboli(U"abba, cab", ModoLettere::Minuscole);
    EXPECT_EQ(sequenza, (std::vector<std::uint8_t>{0, 1, 1, 0, Separatore, 2, 0, 1}));
    using N = std::vector<Ngramma>;
    EXPECT_EQ(NgrammiFrequenti(sequenza, 2, 10), (N{{{0, 1}, 2}, {{1, 0}, 1}, {{1, 1}, 1}, {{2, 0}, 1}}));
    EXPECT_EQ(NgrammiFrequenti(sequenza, 2, 1), (N{{{0, 1}, 2}}));
    EXPECT_EQ(NgrammiFrequenti(sequenza, 3, 10), (N{{{0, 1, 1}, 1}, {{1, 1, 0}, 1}, {{2, 0, 1}, 1}}));
    EXPECT_EQ(Doppie(sequenza), (N{{{1, 1}, 1}}));
}

// Every split of the bytes decodes as the whole does: no character is lost at a buffer's edge.
TEST(DecodificaFlusso, AnySplitAsTheWhole)
{
    const std::pair<Codifica, std::string_view> casi[] = {
        {Codifica::Utf8, "\xEF\xBB\xBFQè\xF0\x9F\x98\x80q"},
        {Codifica::Utf8, "\xC3\xA8\xE2\x82\xAC"},
        {Codifica::Utf16LE, std::string_view("\xFF\xFEQ\0\x3D\xD8\x00\xDE", 8)},
        {Codifica::Utf16BE, std::string_view("\xFE\xFF\0Q\xD8\x3D\xDE\x00\x41", 9)},  // an odd byte at the end
        {Codifica::Windows1252, "\xEF\xBB\x80Q\xE8"},
    };
    for (const auto& [codifica, byte] : casi) {
        const auto atteso = Decodifica(byte);
        for (std::size_t taglio = 0; taglio <= byte.size(); ++taglio) {
            DecodificaFlusso flusso(codifica);
            std::u32string testo;
            ASSERT_TRUE(flusso.aggiungi(byte.substr(0, taglio), testo));
            ASSERT_TRUE(flusso.aggiungi(byte.substr(taglio), testo));
            ASSERT_TRUE(flusso.concludi(testo));
            EXPECT_EQ(testo, atteso) << testing::PrintToString(byte) << " cut at " << taglio;
        }
    }
}

TEST(DecodificaFlusso, BrokenUtf8IsReported)
{
    DecodificaFlusso flusso(Codifica::Utf8);
    std::u32string testo;
    EXPECT_TRUE(flusso.aggiungi("ab\xE2\x82", testo));
    EXPECT_FALSE(flusso.concludi(testo));
}

// Emoji and è right across the reader's 256 KiB buffer edge.
std::string TestoLungo()
{
    std::string testo = "\xEF\xBB\xBF";
    for (std::size_t i = 0; testo.size() < 256 * 1024 - 2; ++i)
        testo += "Qq xyz 1\n"[i % 9];
    return testo + "\xF0\x9F\x98\x80Q\xC3\xA8q\xE2\x82\xAC";
}

TEST(SalvaDecifrato, SameAsThePreviewOverBufferEdges)
{
    const CartellaTemporanea cartella;
    const auto byte = TestoLungo();
    const auto sorgente = cartella.scrivi("cifrato.txt", byte);
    const auto destinazione = cartella.percorso() / "cifrato-decifrato.txt";
    const Sostituzione sostituzione(Avanzati, ChiaveDa("ce dx ek"));
    Avanzamento avanzamento;
    ImprontaFile analizzato;
    ASSERT_TRUE(AnalizzaFile(sorgente, Avanzati, avanzamento, analizzato).riuscito());
    ASSERT_TRUE(
        SalvaDecifrato(sorgente, analizzato, Codifica::Utf8, sostituzione, destinazione, avanzamento).riuscito());
    const auto anteprima = sostituzione.applica(Decodifica(byte));
    // UTF-8 without a byte-order mark: what the analysis decodes back to the preview.
    const auto salvato = LeggiFile(destinazione);
    EXPECT_FALSE(salvato.starts_with("\xEF\xBB\xBF"));
    EXPECT_EQ(Decodifica(salvato), anteprima);
    EXPECT_NE(anteprima.find(U"eKèx€"), std::u32string::npos);

    const auto inizio = LeggiInizio(sorgente, Codifica::Utf8, Avanzati, 20'000, 0);
    ASSERT_TRUE(inizio.riuscito());
    EXPECT_EQ(inizio.valore().substr(0, 20'000), Decodifica(byte).substr(0, 20'000));
}

}  // namespace
