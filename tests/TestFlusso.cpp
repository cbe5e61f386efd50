// SPDX-License-Identifier: GPL-3.0-or-later
// The streaming analysis against the reference reader, on every kernel path; and each kernel's
// field reader, which takes whole blocks of 64 bytes with masks, against the machine taking one
// byte at a time: quotes opening and closing at every place of a block, from every state, with the
// stream cut anywhere.
#include "Aiuti.h"

#include "AnalisiFile.h"
#include "Codifica.h"
#include "LeggiTesto.h"
#include "MacchinaCampi.h"
#include "Motore.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace varnel {
namespace {

using dettaglio::FamigliaMigliore;
using dettaglio::Kernel;
using dettaglio::KernelPer;
using prova::SimboliDiProva;

Analisi Riferimento(std::string_view byte, const Criterio& criterio)
{
    const std::u32string testo = CampiInTesto(Decodifica(byte));
    const auto* simboli = std::get_if<Simboli>(&criterio);
    return {simboli ? ContaSimboli(testo, *simboli) : ContaLettere(testo, std::get<ModoLettere>(criterio)),
            testo.size(), CodificaDi(byte)};
}

// What a text may open with: nothing, or a byte-order mark before blanks and a quoted field.
std::string Apertura(std::mt19937& caso)
{
    switch (std::uniform_int_distribution<int>(0, 9)(caso)) {
    case 0: return "\xEF\xBB\xBF";
    case 1: return "\xEF\xBB\xBF  \"q,";
    default: return "";
    }
}

std::string Utf16(std::u16string_view testo, bool grandeFinale)
{
    std::string byte = grandeFinale ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t u : testo) {
        const char alto = static_cast<char>(u >> 8), basso = static_cast<char>(u & 0xFF);
        byte += grandeFinale ? alto : basso;
        byte += grandeFinale ? basso : alto;
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

// Small pieces, and pieces of any size up to the whole text, so that the kernels also see long runs
// of whole blocks and rounds.
void ControllaAccordo(std::string_view byte, const Kernel& kernel, std::mt19937& caso)
{
    for (const auto& criterio : Criteri) {
        const Analisi atteso = Riferimento(byte, criterio);
        for (const std::size_t massimo : {std::size_t{700}, byte.size()})
            ASSERT_EQ(prova::Flusso(byte, criterio, kernel, caso, massimo), atteso)
                << testing::PrintToString(byte) << " in pieces up to " << massimo;
    }
}

class Flusso : public prova::SuOgniKernel {
protected:
    prova::CartellaTemporanea cartella;
};
VARNEL_SU_OGNI_KERNEL(Flusso);

TEST_P(Flusso, AgreesWithTheReferenceOnGeneratedText)
{
    // Many short texts, the empty one among them; long ones, dense, with a quote one piece in 40,
    // in 400, or none at all.
    struct Lotto {
        int testi;
        std::size_t minimo, massimo;
        int rarita;
    };
    std::mt19937 caso(20261206);
    for (const auto [testi, minimo, massimo, rarita] :
         {Lotto{1500, 0, 150, 6}, Lotto{4, 100000, 150000, 3}, Lotto{8, 20000, 90000, 40}, Lotto{8, 20000, 90000, 400},
          Lotto{8, 20000, 90000, 1 << 30}})
        for (int i = 0; i < testi; ++i) {
            const std::size_t byte = std::uniform_int_distribution<std::size_t>(minimo, massimo)(caso);
            ControllaAccordo(Apertura(caso) + prova::Genera(caso, byte, rarita, i % 2 == 0), kernel(), caso);
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
        ControllaAccordo(testo, kernel(), caso);
    }
}

// Each delimiter, quote and sequence at every place around the edges of the 64-byte blocks and
// of the 32-byte vectors, after a field in progress and after blanks that open the text.
TEST_P(Flusso, AgreesAtEveryPlaceAroundTheBlockEdges)
{
    // clang-format off
    const std::vector<std::string> motivi = {"," + std::string(70, ' ') + "x", ",\r\n", "\r\n", "\r\r\n", "\rx", "\n\r",
        ",\"a,b\"c", ", \"q\"", ",  \"", ",\"\r\n", "\"", "\xC3\xA8", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xF4\x8F\xBF\xBF",
        "\xE0\xA0\x80", "\xED\x9F\xBF", "\xEE\x80\x80", "\xEF\xBF\xBF", "\xF0\x90\x80\x80", "\xC3", "\xE2\x82", "\xE0\x80\x80",
        "\xE0\x9F\xBF", "\xED\xA0\x80", "\xF0\x8F\xBF\xBF", "\xF4\x90\x80\x80", "\x80", "\xF5\x80", "\xC0\x80", "\xC1\xBF",
        "\xF8\x88\x80\x80\x80", "\xC3\xA8\xA8", "\xE2\x82\xAC\x80", "\xE0\xA0", "\xF0\x90\x80", "\xF4\x8F"};
    // clang-format on
    std::mt19937 caso(31);
    for (const auto& motivo : motivi)
        for (const char prima : {'x', ' '})
            for (std::size_t posto = 0; posto < 140; ++posto)
                ControllaAccordo(std::string(posto, prima) + motivo + std::string(70, 'y'), kernel(), caso);
}

// Runs of two-byte sequences alone take a shorter check, four blocks at a time: a longer or a
// broken sequence at every place across the edges of such runs, with two-byte ones before and after.
TEST_P(Flusso, AgreesWhereTwoByteSequencesMeetOthers)
{
    // clang-format off
    const std::vector<std::string> motivi = {"y", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xE0\xA0\x80", "\xC0\x80",
        "\xC1\xBF", "\x80", "\xC3", "\xC3\xC3\xA8", "\xC3\xA8\xA8", "\xE2\x82", "\xF0\x9F\x98"};
    // clang-format on
    std::mt19937 caso(256);
    for (const auto& motivo : motivi)
        for (std::size_t posto = 180; posto < 340; ++posto) {
            std::string testo;
            while (testo.size() + 2 <= posto)
                testo += "\xC3\xA8";
            testo.resize(posto, 'x');
            testo += motivo;
            while (testo.size() < posto + 300)
                testo += "\xC3\xA8";
            ControllaAccordo(testo, kernel(), caso);
        }
}

// UTF-16 is decoded to code points before any kernel runs: one family suffices.
TEST(FlussoUtf16, AgreesOnUtf16)
{
    std::mt19937 caso(11);
    const std::u16string alfabeto = u"abZx ,\"\r\n\tè€ïz7\U0001F600";  // the pair last, taken whole
    for (int i = 0; i < 300; ++i) {
        std::u16string testo;
        const std::size_t n = std::uniform_int_distribution<std::size_t>(0, 80)(caso);
        for (std::size_t j = 0; j < n; ++j) {
            const auto k = std::uniform_int_distribution<std::size_t>(0, alfabeto.size() - 2)(caso);
            testo += alfabeto.substr(k, k + 2 == alfabeto.size() ? 2 : 1);
        }
        std::string byte = Utf16(testo, i % 2 == 0);
        if (i % 5 == 0)
            byte += "\x3D";  // an odd byte at the end
        if (i % 7 == 0)
            byte += i % 2 == 0 ? std::string("\xD8\x3D", 2) : std::string("\x3D\xD8", 2);  // a lone high surrogate
        ControllaAccordo(byte, KernelPer(FamigliaMigliore()), caso);
    }
}

TEST_P(Flusso, ReadsALargeFileLikeTheReference)
{
    // Several read buffers, with the fast block paths and their fallbacks in each, or none.
    std::mt19937 caso(37);
    for (const auto& byte : {prova::Genera(caso, 9u << 19, 300, true), prova::Genera(caso, 9u << 19, 300, false),
                             "\xEF\xBB\xBF" + prova::Genera(caso, 1u << 20, 2, false)}) {
        const auto percorso = cartella.scrivi("grande.txt", byte);
        for (const Criterio& criterio :
             {Criterio(ModoLettere::SenzaDistinzione), Criterio(SimboliDiProva), Criterio(SimboliVicini)}) {
            const auto analisi = prova::Analizza(percorso, criterio, kernel());
            ASSERT_TRUE(analisi.riuscito());
            EXPECT_EQ(analisi.valore(), Riferimento(byte, criterio));
        }
    }
}

TEST(Conteggi, AboveFourBillionDoNotWrap)
{
    // The analyser's counters are 64-bit: feed the same megabyte 4100 times (4.3e9 letters).
    dettaglio::Analizzatore analizzatore(ModoLettere::Minuscole, KernelPer(FamigliaMigliore()));
    const std::string blocco(1 << 20, 'e');
    for (int i = 0; i < 4100; ++i)
        analizzatore.consuma(prova::Byte(blocco));
    const Analisi analisi = analizzatore.concludi();
    EXPECT_EQ(analisi.conteggi[4], 4100ull << 20);
    EXPECT_EQ(analisi.lunghezza, 4100ull << 20);
}

using dettaglio::MacchinaCampi;
using Macchina = MacchinaCampi<std::uint8_t>;

Macchina ByteAByte(std::string_view testo, dettaglio::StatoCampi inizio)
{
    Macchina macchina(inizio);
    const auto byte = prova::Byte(testo);
    macchina.avanza(byte.data(), byte.data() + byte.size(), [](const std::uint8_t* p, const std::uint8_t* fine) {
        while (p < fine && *p != ',' && *p != '\r' && *p != '\n')
            ++p;
        return p;
    });
    return macchina;
}

// The kernel over the text in two calls, cut at `taglio`, so that the state also crosses a call.
Macchina ConIlKernel(std::string_view testo, dettaglio::StatoCampi inizio, std::size_t taglio, const Kernel& kernel)
{
    Macchina macchina(inizio);
    const auto byte = prova::Byte(testo);
    taglio = std::min(taglio, byte.size());
    kernel.campi(byte.data(), taglio, macchina);
    kernel.campi(byte.data() + taglio, byte.size() - taglio, macchina);
    return macchina;
}

void ControllaUguali(std::string_view testo, dettaglio::StatoCampi inizio, std::size_t taglio, const Kernel& kernel)
{
    const Macchina atteso = ByteAByte(testo, inizio);
    const Macchina ottenuto = ConIlKernel(testo, inizio, taglio, kernel);
    const auto caso = [&] {
        return testing::PrintToString(testo) + " from state " + std::to_string(static_cast<int>(inizio)) + " cut at "
               + std::to_string(taglio);
    };
    ASSERT_EQ(ottenuto.giunture(), atteso.giunture()) << caso();
    for (int s = 0; s < dettaglio::NumeroSpeciali; ++s)
        ASSERT_EQ(ottenuto.consumati(s), atteso.consumati(s)) << "special " << s << " in " << caso();
    ASSERT_EQ(ottenuto.stato(), atteso.stato()) << caso();
}

class CampiABlocchi : public prova::SuOgniKernel {};

// Each piece is set at every offset of the first two blocks, after a filler and before another.
// clang-format off
const std::vector<std::string> PezziConVirgolette = {
    ",\"ab, c\r\nd\"x,",       // a quoted field holding delimiters, text after its closing quote
    "\r\n  \"q\" ,",           // blanks before the opening quote, a blank after the closing one
    "ab\"c,d\"e",              // quotes inside unquoted fields: text, and the comma between counts
    ",\"a,\"",                 // quoted text ending in a delimiter: its closing quote looks like an opening one
    ",\"a, \"b\"",
    ",\"a\r\",\"\r\n\"",
    ",\"\",\"\"\"",            // empty quoted fields, and a quote after the closing one
    "\"a\"b\"c,\"d\"",         // quotes after a closing quote are text until the field ends
    "\r\"x\"\r\r\n",           // a CR that no LF follows starts a field
    ",     \"z\"",
    ",\"" + std::string(150, 'k') + ", \r\n" + std::string(60, ' ') + "\"",  // a stretch over several blocks
};
const std::vector<std::pair<char, char>> Riempitivi = {
    {'x', 'x'}, {' ', ' '}, {',', '"'}, {'"', ','}, {'\r', '\n'}, {'\n', ' '},
};
// clang-format on

TEST_P(CampiABlocchi, AgreesWithTheMachineWhereverAQuoteStands)
{
    for (const auto& pezzo : PezziConVirgolette) {
        for (const auto& [prima, dopo] : Riempitivi) {
            for (std::size_t posto = 0; posto < 130; ++posto) {
                std::string testo(posto, prima);
                testo += pezzo;
                testo.append(140, dopo);
                for (const auto stato : dettaglio::StatiCampi) {
                    for (const std::size_t taglio : {std::size_t{0}, std::size_t{64}, posto, posto + 1})
                        ASSERT_NO_FATAL_FAILURE(ControllaUguali(testo, stato, taglio, kernel()));
                }
            }
        }
    }
}

// Random text of the special bytes alone, the quotes dense or sparse: every way that quoted
// stretches, delimiters and blanks can meet within and across blocks.
TEST_P(CampiABlocchi, AgreesWithTheMachineOnRandomSpecialBytes)
{
    struct Alfabeto {
        std::string_view byte;
        std::size_t lunghezza;
    };
    // clang-format off
    const Alfabeto alfabeti[] = {
        {"\",", 300}, {"\" ", 300}, {"\"\r\n", 300}, {"\", \r\naaaa", 400}, {"\"aaaaaaaaaaaaaaaaaaaa, \r\n", 600},
        {"\"           ,", 400}, {",aaaaaaa\"", 1000},
    };
    // clang-format on
    std::mt19937 caso(20);
    for (const auto& alfabeto : alfabeti) {
        std::uniform_int_distribution<std::size_t> scelta(0, alfabeto.byte.size() - 1);
        for (int giro = 0; giro < 300; ++giro) {
            std::string testo(alfabeto.lunghezza, ' ');
            for (auto& b : testo)
                b = alfabeto.byte[scelta(caso)];
            const std::size_t taglio = std::uniform_int_distribution<std::size_t>(0, testo.size())(caso);
            for (const auto stato : dettaglio::StatiCampi)
                ASSERT_NO_FATAL_FAILURE(ControllaUguali(testo, stato, taglio, kernel()));
        }
    }
}

// Long runs of delimiters, past the 255 blocks that a byte counter holds, whole and in quotes.
TEST_P(CampiABlocchi, CountsDelimitersPastAByteCounter)
{
    for (const std::string_view motivo : {",", "\r", "\n", "\r\n", ",\r\n\"", "\"a,\r\n, \""}) {
        std::string testo;
        while (testo.size() < 257 * 64)
            testo += motivo;
        for (const auto stato : dettaglio::StatiCampi) {
            for (const std::size_t taglio : {std::size_t{0}, std::size_t{255 * 64}, std::size_t{256 * 64 + 1}})
                ASSERT_NO_FATAL_FAILURE(ControllaUguali(testo, stato, taglio, kernel()));
        }
    }
}

VARNEL_SU_OGNI_KERNEL(CampiABlocchi);

}  // namespace
}  // namespace varnel
