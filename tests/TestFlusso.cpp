// The streaming analysis against the reference reader, and the files it must refuse.
#include "Aiuti.h"

#include "AnalisiFile.h"
#include "LeggiTesto.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace varnel {
namespace {

using dettaglio::Percorso;

// Pieces that exercise the reader: delimiters, blanks, line ends of every kind, multi-byte
// characters, bytes that break UTF-8, Windows-1252 letters and a NUL.
const std::vector<std::string> Pezzi = {
    "a", "b", "Z", "x", "q", "E", " ", "  ", ",", "\"", "\r", "\n", "\r\n", "\t", "\xC3\xA8", "\xE2\x82\xAC",
    "\xF0\x9F\x98\x80", "\xC3", "\xE8", "\x80", "\xEF\xBB\xBF", std::string(1, '\0'), "\"ab, c\"", "7",
};

const Simboli SimboliDiProva = *SimboliDaTesto(U"ab, \"\r\nè€\U0001F600ïx\tZz\u0080é\uFFFD7»¿ÃEqq");

Analisi Riferimento(std::string_view byte, const Criterio& criterio)
{
    const std::u32string testo = CampiInTesto(Decodifica(byte));
    const auto* simboli = std::get_if<Simboli>(&criterio);
    return {simboli ? ContaSimboli(testo, *simboli) : ContaLettere(testo, std::get<ModoLettere>(criterio)), testo.size()};
}

std::string Genera(std::mt19937& caso, std::size_t pezzi)
{
    std::string testo;
    std::uniform_int_distribution<std::size_t> scelta(0, Pezzi.size() - 1);
    std::uniform_int_distribution<int> inizio(0, 9);
    switch (inizio(caso)) {
    case 0: testo = "\xEF\xBB\xBF"; break;
    case 1: testo = "\xEF\xBB\xBF  \"q,"; break;
    default: break;
    }
    for (std::size_t i = 0; i < pezzi; ++i)
        testo += Pezzi[scelta(caso)];
    return testo;
}

std::string Utf16(std::u32string_view testo, bool grandeFinale)
{
    std::string byte = grandeFinale ? "\xFE\xFF" : "\xFF\xFE";
    const auto unita = [&](char32_t u) {
        const char alto = static_cast<char>(u >> 8), basso = static_cast<char>(u & 0xFF);
        byte += grandeFinale ? alto : basso;
        byte += grandeFinale ? basso : alto;
    };
    for (const char32_t c : testo) {
        if (c >= 0x10000) {
            unita(0xD800 + ((c - 0x10000) >> 10));
            unita(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            unita(c);
        }
    }
    return byte;
}

const std::vector<Criterio> Criteri = {ModoLettere::Minuscole, ModoLettere::Maiuscole, ModoLettere::SenzaDistinzione,
                                       SimboliDiProva};

void ControllaAccordo(std::string_view byte, std::mt19937& caso)
{
    for (const auto& criterio : Criteri) {
        const Analisi atteso = Riferimento(byte, criterio);
        for (const auto percorso : {Percorso::Scalare, Percorso::Vettoriale}) {
            const Analisi ottenuto = prova::Flusso(byte, criterio, percorso, caso);
            ASSERT_EQ(ottenuto.lunghezza, atteso.lunghezza) << testing::PrintToString(byte);
            ASSERT_EQ(ottenuto.conteggi, atteso.conteggi) << testing::PrintToString(byte);
        }
    }
}

TEST(Flusso, AgreesWithTheReferenceOnGeneratedText)
{
    std::mt19937 caso(20261206);
    for (int i = 0; i < 1500; ++i) {
        const std::string byte = Genera(caso, std::uniform_int_distribution<std::size_t>(0, 60)(caso));
        ControllaAccordo(byte, caso);
    }
}

TEST(Flusso, AgreesOnLongText)
{
    // Long enough for the vector kernels' full blocks and several slices.
    std::mt19937 caso(7);
    for (int i = 0; i < 4; ++i)
        ControllaAccordo(Genera(caso, 60000), caso);
}

TEST(Flusso, AgreesOnUtf16)
{
    std::mt19937 caso(11);
    const std::u32string alfabeto = U"abZx ,\"\r\n\tè€\U0001F600ïz7";
    for (int i = 0; i < 300; ++i) {
        std::u32string testo;
        const std::size_t n = std::uniform_int_distribution<std::size_t>(0, 80)(caso);
        for (std::size_t j = 0; j < n; ++j)
            testo += alfabeto[std::uniform_int_distribution<std::size_t>(0, alfabeto.size() - 1)(caso)];
        std::string byte = Utf16(testo, i % 2 == 0);
        if (i % 5 == 0)
            byte += "\x3D";  // an odd byte at the end
        if (i % 7 == 0)
            byte += i % 2 == 0 ? std::string("\xD8\x3D", 2) : std::string("\x3D\xD8", 2);  // a lone high surrogate
        ControllaAccordo(byte, caso);
    }
}

TEST(Flusso, ReportsTheCodePage)
{
    std::mt19937 caso(1);
    EXPECT_EQ(prova::Flusso("caff\xC3\xA8", ModoLettere::Minuscole, Percorso::Vettoriale, caso).codifica, Codifica::Utf8);
    EXPECT_EQ(prova::Flusso("caff\xE8", ModoLettere::Minuscole, Percorso::Vettoriale, caso).codifica, Codifica::Windows1252);
    EXPECT_EQ(prova::Flusso("\xFF\xFE", ModoLettere::Minuscole, Percorso::Vettoriale, caso).codifica, Codifica::Utf16LE);
}

class FileDaAnalizzare : public testing::Test {
protected:
    prova::CartellaTemporanea cartella;
};

TEST_F(FileDaAnalizzare, ReadsAFileLikeTheReference)
{
    std::mt19937 caso(3);
    const std::string byte = Genera(caso, 300000);  // several buffers
    const auto percorso = cartella.scrivi("testo.txt", byte);
    const auto riferimento = LeggiTesto(percorso);
    ASSERT_TRUE(riferimento.riuscito());
    for (const auto percorsoKernel : {Percorso::Scalare, Percorso::Vettoriale}) {
        const auto analisi = AnalizzaFile(percorso, ModoLettere::SenzaDistinzione, {}, percorsoKernel);
        ASSERT_TRUE(analisi.riuscito());
        EXPECT_EQ(analisi.valore().lunghezza, riferimento.valore().size());
        EXPECT_EQ(analisi.valore().conteggi, ContaLettere(riferimento.valore(), ModoLettere::SenzaDistinzione));
    }
}

TEST_F(FileDaAnalizzare, RefusesWhatCannotBeRead)
{
    EXPECT_EQ(AnalizzaFile(cartella.percorso() / "manca.txt", ModoLettere::Minuscole).errore().motivo, Motivo::NonTrovato);
    EXPECT_EQ(AnalizzaFile(cartella.percorso(), ModoLettere::Minuscole).errore().motivo, Motivo::Cartella);
    EXPECT_EQ(LeggiTesto(cartella.percorso()).errore().motivo, Motivo::Cartella);
    const auto errore = AnalizzaFile("/proc/self/mem", ModoLettere::Minuscole).errore();
    EXPECT_EQ(errore.motivo, Motivo::ErroreLettura);
    EXPECT_FALSE(errore.dettaglio.empty());
}

TEST_F(FileDaAnalizzare, RefusesAFileWithoutReadPermission)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    const auto percorso = cartella.scrivi("chiuso.txt", "abc");
    std::filesystem::permissions(percorso, std::filesystem::perms::none);
    EXPECT_EQ(AnalizzaFile(percorso, ModoLettere::Minuscole).errore().motivo, Motivo::PermessoNegato);
}

TEST_F(FileDaAnalizzare, NoticesAFileThatChangesWhileRead)
{
    const auto percorso = cartella.scrivi("cambia.txt", std::string(3 << 20, 'a'));
    const auto esito = AnalizzaFile(percorso, ModoLettere::Minuscole, [&](std::uint64_t letti, std::uint64_t) {
        if (letti == 1 << 20)
            std::filesystem::resize_file(percorso, 1 << 20);
        return true;
    });
    EXPECT_EQ(esito.errore().motivo, Motivo::FileModificato);
}

TEST_F(FileDaAnalizzare, ProgressCanCancelAnEndlessDevice)
{
    std::uint64_t ultimo = 0;
    const auto esito = AnalizzaFile("/dev/zero", ModoLettere::Minuscole, [&](std::uint64_t letti, std::uint64_t dimensione) {
        EXPECT_EQ(dimensione, 0u);  // unknown size
        ultimo = letti;
        return letti < (8u << 20);
    });
    EXPECT_EQ(esito.errore().motivo, Motivo::Annullata);
    EXPECT_EQ(ultimo, 8u << 20);
}

TEST_F(FileDaAnalizzare, CountsAboveFourBillionDoNotWrap)
{
    // The analyser's counters are 64-bit: feed the same megabyte 4100 times (4.3e9 letters).
    dettaglio::Analizzatore analizzatore(ModoLettere::Minuscole, Percorso::Vettoriale);
    const std::string blocco(1 << 20, 'e');
    for (int i = 0; i < 4100; ++i)
        analizzatore.consuma(prova::Byte(blocco));
    const Analisi analisi = analizzatore.concludi();
    EXPECT_EQ(analisi.conteggi[4], 4100ull << 20);
    EXPECT_EQ(analisi.lunghezza, 4100ull << 20);
}

}  // namespace
}  // namespace varnel
