// SPDX-License-Identifier: GPL-3.0-or-later
// The streaming analysis against the reference reader, and the files it must refuse.
#include "Aiuti.h"

#include "AnalisiFile.h"
#include "Codifica.h"
#include "LeggiTesto.h"
#include "Lettura.h"
#include "Motore.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <thread>

namespace varnel {
namespace {

using dettaglio::Kernel;
using dettaglio::KernelPer;
using dettaglio::PercorsoMigliore;
using prova::SimboliDiProva;

// Pieces that exercise the reader: delimiters, blanks, line ends of every kind, multi-byte
// characters, bytes that break UTF-8, Windows-1252 letters, a NUL, and the bytes at the edges of
// the counting windows of the symbol sets below.
// clang-format off
const std::vector<std::string> Pezzi = {
    "a", "b", "Z", "x", "q", "E", " ", "  ", ",", "\"", "\r", "\n", "\r\n", "\t", "\xC3\xA8", "\xE2\x82\xAC", "@", "`",
    "\xF0\x9F\x98\x80", "\xC3", "\xE8", "\x80", "\xEF\xBB\xBF", std::string(1, '\0'), "\"ab, c\"", "7",
};
// clang-format on

Analisi Riferimento(std::string_view byte, const Criterio& criterio)
{
    const std::u32string testo = CampiInTesto(Decodifica(byte));
    const auto* simboli = std::get_if<Simboli>(&criterio);
    return {simboli ? ContaSimboli(testo, *simboli) : ContaLettere(testo, std::get<ModoLettere>(criterio)),
            testo.size(), CodificaDi(byte)};
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

// Symbols whose bytes all lie within 32 consecutive values are counted by looking a byte's distance
// up: one set holds the reader's special bytes, one reaches the 32nd value.
const Simboli SimboliVicini = SimboliDaTesto(U" !\"#$%&'()*+,-./0123456789").value();
const Simboli SimboliLontani = SimboliDaTesto(U"ABCDEFGHIJKLMNOPQRSTUVWXY`").value();
// 33 values: the window holds all but one, which is compared.
const Simboli SimboliTroppoLontani = SimboliDaTesto(U"@ABCDEFGHIJKLMNOPQRSTUVWX`").value();
// From NUL on: the padding after a text's last byte must not count as one.
const Simboli SimboliDiControllo = [] {
    Simboli simboli{};
    for (std::size_t k = 0; k < NumeroSlot; ++k)
        simboli[k] = static_cast<char32_t>(k);
    return simboli;
}();

// clang-format off
const std::vector<Criterio> Criteri = {ModoLettere::Minuscole, ModoLettere::Maiuscole, ModoLettere::SenzaDistinzione,
                                       SimboliDiProva, SimboliVicini, SimboliLontani, SimboliTroppoLontani,
                                       SimboliDiControllo};
// clang-format on

void ControllaAccordo(std::string_view byte, const Kernel& kernel, std::mt19937& caso)
{
    for (const auto& criterio : Criteri) {
        const Analisi atteso = Riferimento(byte, criterio);
        const Analisi ottenuto = prova::Flusso(byte, criterio, kernel, caso);
        ASSERT_EQ(ottenuto.lunghezza, atteso.lunghezza) << testing::PrintToString(byte);
        ASSERT_EQ(ottenuto.conteggi, atteso.conteggi) << testing::PrintToString(byte);
        ASSERT_EQ(ottenuto.codifica, atteso.codifica) << testing::PrintToString(byte);
    }
}

// Feeds the analyser pieces of any size up to the whole text, so that the kernels also see long
// runs of whole blocks and rounds.
Analisi FlussoAPezziGrandi(std::string_view testo, const Criterio& criterio, const Kernel& kernel, std::mt19937& caso)
{
    dettaglio::Analizzatore analizzatore(criterio, kernel);
    const auto byte = prova::Byte(testo);
    for (std::size_t i = 0; i < byte.size();) {
        const std::size_t n = std::min(byte.size() - i,
                                       std::uniform_int_distribution<std::size_t>(1, byte.size())(caso));
        analizzatore.consuma(byte.subspan(i, n));
        i += n;
    }
    return analizzatore.concludi();
}

void ControllaAccordoAPezziGrandi(std::string_view byte, const Kernel& kernel, std::mt19937& caso)
{
    for (const auto& criterio : Criteri) {
        const Analisi atteso = Riferimento(byte, criterio);
        const Analisi ottenuto = FlussoAPezziGrandi(byte, criterio, kernel, caso);
        ASSERT_EQ(ottenuto.lunghezza, atteso.lunghezza) << testing::PrintToString(byte);
        ASSERT_EQ(ottenuto.conteggi, atteso.conteggi) << testing::PrintToString(byte);
        ASSERT_EQ(ottenuto.codifica, atteso.codifica) << testing::PrintToString(byte);
    }
}

// Plain fields for long stretches, with a quote only now and then (one piece in `rarita`), so that
// the vector kernels take most blocks whole and hand the machine only those around a quote. With
// `utf8` every piece is valid UTF-8, so that the whole text is.
std::string GeneraRado(std::mt19937& caso, std::size_t byte, int rarita, bool utf8)
{
    // clang-format off
    static const std::vector<std::string> Comuni = {"a", "b", "Z", "q", "x", "E", "y", "z", "7", "\t", " ", "  ", "   ",
                                                    ",", ", ", ",   ", "\r\n", "\n", "\r", "\xC3\xA8", "\xE2\x82\xAC",
                                                    "\xF0\x9F\x98\x80", "lettere", "A"};
    static const std::vector<std::string> Virgolette = {"\"", ",\"", ", \"a, b\r\nc\"d", ",\"q\"", "\r\n  \"\"", ",\"\r\n\""};
    static const std::vector<std::string> Guasti = {"\xE8", "\xC3", "\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80"};
    // clang-format on
    std::string testo;
    std::uniform_int_distribution<int> uno(0, rarita - 1);
    while (testo.size() < byte) {
        if (uno(caso) == 0)
            testo += Virgolette[std::uniform_int_distribution<std::size_t>(0, Virgolette.size() - 1)(caso)];
        else if (!utf8 && uno(caso) == 0)
            testo += Guasti[std::uniform_int_distribution<std::size_t>(0, Guasti.size() - 1)(caso)];
        else
            testo += Comuni[std::uniform_int_distribution<std::size_t>(0, Comuni.size() - 1)(caso)];
    }
    return testo;
}

class Flusso : public prova::SuOgniVia {};
VARNEL_SU_OGNI_VIA(Flusso);

TEST_P(Flusso, AgreesWithTheReferenceOnGeneratedText)
{
    std::mt19937 caso(20261206);
    for (int i = 0; i < 1500; ++i) {
        const std::string byte = Genera(caso, std::uniform_int_distribution<std::size_t>(0, 60)(caso));
        ControllaAccordo(byte, kernel(), caso);
    }
}

TEST_P(Flusso, AgreesOnLongText)
{
    // Long enough for the vector kernels' full blocks and several slices.
    std::mt19937 caso(7);
    for (int i = 0; i < 4; ++i)
        ControllaAccordo(Genera(caso, 60000), kernel(), caso);
}

TEST_P(Flusso, AgreesOnLongPlainTextWithFewQuotes)
{
    std::mt19937 caso(29);
    for (int i = 0; i < 24; ++i) {
        const int rarita = i % 3 == 0 ? 40 : i % 3 == 1 ? 400 : 1000000;
        std::string testo = GeneraRado(caso, 20000 + 3000 * static_cast<std::size_t>(i), rarita, i % 2 == 0);
        if (i % 4 == 1)
            testo.insert(0, "\xEF\xBB\xBF");  // a byte-order mark: two field machines
        ControllaAccordoAPezziGrandi(testo, kernel(), caso);
        ControllaAccordo(testo, kernel(), caso);
    }
}

// Runs of one unit, long enough that a piece overflows what a kernel may count in byte lanes
// before it adds them up (255 blocks of 64 bytes).
TEST_P(Flusso, AgreesOnLongRunsOfOneUnit)
{
    std::mt19937 caso(3);
    for (const std::string unita : {"a", "\xE8", "\xC3\xA8", ",", "\r\n"}) {
        std::string testo;
        while (testo.size() < 40000)
            testo += unita;
        ControllaAccordoAPezziGrandi(testo, kernel(), caso);
    }
}

// Each delimiter, quote and sequence at every place around the edges of the 64-byte blocks and
// of the 32-byte vectors, after a field in progress and after blanks that open the text.
TEST_P(Flusso, AgreesAtEveryPlaceAroundTheBlockEdges)
{
    const std::vector<std::string> motivi = {"," + std::string(70, ' ') + "x",
                                             ",\r\n",
                                             "\r\n",
                                             "\r\r\n",
                                             "\rx",
                                             "\n\r",
                                             ",\"a,b\"c",
                                             ", \"q\"",
                                             ",  \"",
                                             ",\"\r\n",
                                             "\"",
                                             "\xC3\xA8",
                                             "\xE2\x82\xAC",
                                             "\xF0\x9F\x98\x80",
                                             "\xF4\x8F\xBF\xBF",
                                             "\xE0\xA0\x80",
                                             "\xED\x9F\xBF",
                                             "\xEE\x80\x80",
                                             "\xEF\xBF\xBF",
                                             "\xF0\x90\x80\x80",
                                             "\xC3",
                                             "\xE2\x82",
                                             "\xE0\x80\x80",
                                             "\xE0\x9F\xBF",
                                             "\xED\xA0\x80",
                                             "\xF0\x8F\xBF\xBF",
                                             "\xF4\x90\x80\x80",
                                             "\x80",
                                             "\xF5\x80",
                                             "\xC0\x80",
                                             "\xC1\xBF",
                                             "\xF8\x88\x80\x80\x80",
                                             "\xC3\xA8\xA8",
                                             "\xE2\x82\xAC\x80",
                                             "\xE0\xA0",
                                             "\xF0\x90\x80",
                                             "\xF4\x8F"};
    std::mt19937 caso(31);
    for (const auto& motivo : motivi) {
        for (const char prima : {'x', ' '}) {
            for (std::size_t posto = 0; posto < 140; ++posto) {
                const std::string testo = std::string(posto, prima) + motivo + std::string(70, 'y');
                for (const auto& criterio : Criteri) {
                    const Analisi atteso = Riferimento(testo, criterio);
                    const Analisi intero = FlussoAPezziGrandi(testo, criterio, kernel(), caso);
                    const Analisi aPezzi = prova::Flusso(testo, criterio, kernel(), caso);
                    ASSERT_EQ(intero.lunghezza, atteso.lunghezza) << testing::PrintToString(testo);
                    ASSERT_EQ(intero.conteggi, atteso.conteggi) << testing::PrintToString(testo);
                    ASSERT_EQ(aPezzi.lunghezza, atteso.lunghezza) << testing::PrintToString(testo);
                    ASSERT_EQ(aPezzi.conteggi, atteso.conteggi) << testing::PrintToString(testo);
                    ASSERT_EQ(intero.codifica, atteso.codifica) << testing::PrintToString(testo);
                    ASSERT_EQ(aPezzi.codifica, atteso.codifica) << testing::PrintToString(testo);
                }
            }
        }
    }
}

// UTF-16 is decoded to code points before any kernel runs: one family suffices.
TEST(FlussoUtf16, AgreesOnUtf16)
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
        ControllaAccordo(byte, KernelPer(PercorsoMigliore()), caso);
    }
}

TEST_P(Flusso, ReportsTheCodePage)
{
    std::mt19937 caso(1);
    EXPECT_EQ(prova::Flusso("caff\xC3\xA8", ModoLettere::Minuscole, kernel(), caso).codifica, Codifica::Utf8);
    EXPECT_EQ(prova::Flusso("caff\xE8", ModoLettere::Minuscole, kernel(), caso).codifica, Codifica::Windows1252);
    EXPECT_EQ(prova::Flusso("\xFF\xFE", ModoLettere::Minuscole, kernel(), caso).codifica, Codifica::Utf16LE);
}

class FileDaAnalizzare : public testing::Test {
protected:
    prova::CartellaTemporanea cartella;
};

class FileSuOgniVia : public prova::SuOgniVia {
protected:
    prova::CartellaTemporanea cartella;
};
VARNEL_SU_OGNI_VIA(FileSuOgniVia);

TEST_P(FileSuOgniVia, ReadsAFileLikeTheReference)
{
    std::mt19937 caso(3);
    const std::string byte = Genera(caso, 300000);  // several buffers
    const auto percorso = cartella.scrivi("testo.txt", byte);
    const auto riferimento = LeggiTesto(percorso);
    ASSERT_TRUE(riferimento.riuscito());
    const auto analisi = prova::Analizza(percorso, ModoLettere::SenzaDistinzione, kernel());
    ASSERT_TRUE(analisi.riuscito());
    EXPECT_EQ(analisi.valore().lunghezza, riferimento.valore().size());
    EXPECT_EQ(analisi.valore().conteggi, ContaLettere(riferimento.valore(), ModoLettere::SenzaDistinzione));
}

TEST_P(FileSuOgniVia, ReadsALargeFileLikeTheReference)
{
    // Several read buffers, with the fast block paths and their fallbacks in each.
    std::mt19937 caso(37);
    for (const bool utf8 : {true, false}) {
        const std::string byte = GeneraRado(caso, (9u << 20) / 2, 300, utf8);
        const auto percorso = cartella.scrivi("grande.txt", byte);
        const std::u32string testo = CampiInTesto(Decodifica(byte));
        for (const Criterio& criterio :
             {Criterio(ModoLettere::SenzaDistinzione), Criterio(SimboliDiProva), Criterio(SimboliVicini)}) {
            const auto* simboli = std::get_if<Simboli>(&criterio);
            const Conteggi attesi = simboli ? ContaSimboli(testo, *simboli)
                                            : ContaLettere(testo, std::get<ModoLettere>(criterio));
            const auto analisi = prova::Analizza(percorso, criterio, kernel());
            ASSERT_TRUE(analisi.riuscito());
            EXPECT_EQ(analisi.valore().lunghezza, testo.size());
            EXPECT_EQ(analisi.valore().conteggi, attesi);
            EXPECT_EQ(analisi.valore().codifica, utf8 ? Codifica::Utf8 : Codifica::Windows1252);
        }
    }
}

TEST_F(FileDaAnalizzare, RefusesWhatCannotBeRead)
{
    EXPECT_EQ(prova::Analizza(cartella.percorso() / "manca.txt", ModoLettere::Minuscole).errore().motivo,
              Motivo::NonTrovato);
    EXPECT_EQ(prova::Analizza(cartella.percorso(), ModoLettere::Minuscole).errore().motivo, Motivo::Cartella);
    EXPECT_EQ(LeggiTesto(cartella.percorso()).errore().motivo, Motivo::Cartella);
#ifdef _WIN32
    GTEST_SKIP() << "/proc/self/mem is Linux's (Windows counterparts in TestFilePortabili)";
#endif
    const auto errore = prova::Analizza("/proc/self/mem", ModoLettere::Minuscole).errore();
    EXPECT_EQ(errore.motivo, Motivo::ErroreLettura);
    EXPECT_FALSE(errore.dettaglio.empty());
}

TEST_F(FileDaAnalizzare, RefusesAFileWithoutReadPermission)
{
#ifdef _WIN32
    GTEST_SKIP() << "POSIX permissions (Windows counterpart: FilePortabili.AFileOpenedExclusivelyElsewhere)";
#else
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    const auto percorso = cartella.scrivi("chiuso.txt", "abc");
    std::filesystem::permissions(percorso, std::filesystem::perms::none);
    EXPECT_EQ(prova::Analizza(percorso, ModoLettere::Minuscole).errore().motivo, Motivo::PermessoNegato);
#endif
}

TEST_F(FileDaAnalizzare, NoticesAFileThatChangesWhileRead)
{
    const auto percorso = cartella.scrivi("cambia.txt", std::string(3 << 20, 'a'));
    auto file = FileInLettura::Apri(percorso);
    ASSERT_TRUE(file.riuscito());
    std::vector<std::uint8_t> buffer(1 << 20);
    ASSERT_EQ(file.valore().LeggiDa(0, buffer).valore(), buffer.size());
    EXPECT_FALSE(file.valore().ControllaInvariato());
    std::filesystem::resize_file(percorso, 1 << 20);
    EXPECT_EQ(file.valore().ControllaInvariato()->motivo, Motivo::FileModificato);
}

TEST_F(FileDaAnalizzare, ACancelStopsAnEndlessDevice)
{
#ifdef _WIN32
    GTEST_SKIP() << "/dev/zero is Unix's (Windows counterpart: FilePortabili.ACancelStopsASilentPipe)";
#endif
    Avanzamento avanzamento;
    std::thread osservatore([&] {
        while (avanzamento.letti() < (8u << 20))
            std::this_thread::yield();
        avanzamento.annulla();
    });
    const auto esito = AnalizzaFile("/dev/zero", ModoLettere::Minuscole, avanzamento);
    osservatore.join();
    EXPECT_EQ(esito.errore().motivo, Motivo::Annullata);
    EXPECT_EQ(avanzamento.dimensione(), 0u);  // unknown size
}

TEST_F(FileDaAnalizzare, CountsAboveFourBillionDoNotWrap)
{
    // The analyser's counters are 64-bit: feed the same megabyte 4100 times (4.3e9 letters).
    dettaglio::Analizzatore analizzatore(ModoLettere::Minuscole, PercorsoMigliore());
    const std::string blocco(1 << 20, 'e');
    for (int i = 0; i < 4100; ++i)
        analizzatore.consuma(prova::Byte(blocco));
    const Analisi analisi = analizzatore.concludi();
    EXPECT_EQ(analisi.conteggi[4], 4100ull << 20);
    EXPECT_EQ(analisi.lunghezza, 4100ull << 20);
}

}  // namespace
}  // namespace varnel
