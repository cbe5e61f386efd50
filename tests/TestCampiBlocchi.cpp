// SPDX-License-Identifier: GPL-3.0-or-later
// Each kernel's field reader, which takes whole blocks of 64 bytes with masks, against the machine
// taking one byte at a time: quotes opening and closing at every place of a block, from every
// state, with the stream cut anywhere.
#include "Aiuti.h"

#include "MacchinaCampi.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace varnel {
namespace {

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
Macchina ConIlKernel(std::string_view testo, dettaglio::StatoCampi inizio, std::size_t taglio,
                     const dettaglio::Kernel& kernel)
{
    Macchina macchina(inizio);
    const auto byte = prova::Byte(testo);
    taglio = std::min(taglio, byte.size());
    kernel.campi(byte.data(), taglio, macchina);
    kernel.campi(byte.data() + taglio, byte.size() - taglio, macchina);
    return macchina;
}

void ControllaUguali(std::string_view testo, dettaglio::StatoCampi inizio, std::size_t taglio,
                     const dettaglio::Kernel& kernel)
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
