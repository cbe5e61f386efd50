// SPDX-License-Identifier: GPL-3.0-or-later
// Bars, labels, summary and the chart stretch computed from counts.
#include "Risultati.h"
#include "Stiramento.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

std::array<std::string, NumeroSlot> Lettere()
{
    std::array<std::string, NumeroSlot> lettere;
    for (std::size_t k = 0; k < NumeroSlot; ++k)
        lettere[k] = std::string(1, static_cast<char>('a' + k));
    return lettere;
}

Conteggi Solo(std::size_t slot, std::uint64_t conteggio)
{
    Conteggi conteggi{};
    conteggi[slot] = conteggio;
    return conteggi;
}

TEST(TestoNumero, GeneralFormWithoutExponent)
{
    EXPECT_EQ(TestoNumero(0, "."), "0");
    EXPECT_EQ(TestoNumero(100, "."), "100");
    EXPECT_EQ(TestoNumero(12.5, ","), "12,5");
    EXPECT_EQ(TestoNumero(100.0 / 3, "."), "33.3333333333333");
    EXPECT_EQ(TestoNumero(200.0 / 3, "."), "66.6666666666667");
    EXPECT_EQ(TestoNumero(0.29 * 100, "."), "29");
    EXPECT_EQ(TestoNumero(1e-10, "."), "0.0000000001");
    EXPECT_EQ(TestoNumero(1.0 / 3 * 1e-5, "."), "0.00000333333333333333");
}

TEST(ParteIntera, ExactWholePart)
{
    EXPECT_EQ(ParteIntera(29, 100, 100), 29u);
    EXPECT_EQ(ParteIntera(57, 100, 100), 57u);
    EXPECT_EQ(ParteIntera(1, 100, 8), 12u);
    EXPECT_EQ(ParteIntera(27, 50, 200), 6u);
    const std::uint64_t enorme = ~std::uint64_t{0};
    EXPECT_EQ(ParteIntera(enorme / 3, 100, enorme), 33u);  // no overflow in count × 100
    EXPECT_EQ(ParteIntera(enorme, 100, enorme), 100u);
}

TEST(CalcolaRisultati, OneOfEight)
{
    const auto r = CalcolaRisultati(Lettere(), Solo(3, 1), 8, ",");
    EXPECT_EQ(r.barre[3].altezza, 312.5f);
    EXPECT_EQ(r.barre[3].top, 4127.5f);
    EXPECT_EQ(r.etichette[3], "12 %");
    EXPECT_EQ(r.barre[0].altezza, 0.0f);
    EXPECT_EQ(r.barre[0].top, 4440.0f);
    EXPECT_EQ(r.etichette[0], "0 %");
    EXPECT_NE(r.riepilogo.find("Lettera d: 12,5 %;  Lettera e: 0 %;  "), std::string::npos);
    EXPECT_EQ(r.percMax, 12.5);
}

TEST(CalcolaRisultati, WholeNumbersThatFloatingPointMisses)
{
    Conteggi conteggi{};
    conteggi[0] = 29;
    conteggi[1] = 57;
    const auto r = CalcolaRisultati(Lettere(), conteggi, 100, ".");
    EXPECT_EQ(r.etichette[0], "29 %");
    EXPECT_EQ(r.etichette[1], "57 %");
    EXPECT_EQ(r.riepilogo.substr(0, 39), "Lettera a: 29 %;  Lettera b: 57 %;  Let");
}

TEST(CalcolaRisultati, OneLetterOnlyAndTheWholeSummary)
{
    const auto r = CalcolaRisultati(Lettere(), Solo(0, 1), 1, ".");
    EXPECT_EQ(r.barre[0].altezza, 2500.0f);
    EXPECT_EQ(r.barre[0].top, 1940.0f);
    EXPECT_EQ(r.etichette[0], "100 %");
    EXPECT_EQ(r.percMax, 100.0);
    std::string atteso = "Lettera a: 100 %;  ";
    for (char c = 'b'; c <= 'z'; ++c)
        atteso += std::string("Lettera ") + c + ": 0 %;  ";
    EXPECT_EQ(r.riepilogo, atteso);
}

TEST(CalcolaRisultati, ZeroDenominatorShowsZeros)
{
    const auto r = CalcolaRisultati(Lettere(), Conteggi{}, 0, ".");
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        EXPECT_EQ(r.barre[k].altezza, 0.0f);
        EXPECT_EQ(r.barre[k].top, 4440.0f);
        EXPECT_EQ(r.etichette[k], "0 %");
    }
    EXPECT_EQ(r.percMax, 0.0);
    EXPECT_EQ(r.riepilogo.substr(0, 19), "Lettera a: 0 %;  Le");
}

TEST(CalcolaRisultati, TiesKeepThePeakOnce)
{
    Conteggi conteggi{};
    conteggi[2] = 3;
    conteggi[7] = 3;
    conteggi[9] = 2;
    const auto r = CalcolaRisultati(Lettere(), conteggi, 8, ".");
    EXPECT_EQ(r.percMax, 37.5);
    EXPECT_EQ(r.conteggioMax, 3u);
}

StatoAnalisi Stato(const Risultati& r, std::uint64_t totale) { return {r.percMax, totale, 0, r.conteggioMax}; }

std::array<float, NumeroSlot> Altezze(const Risultati& r)
{
    std::array<float, NumeroSlot> altezze{};
    for (std::size_t k = 0; k < NumeroSlot; ++k)
        altezze[k] = r.barre[k].altezza;
    return altezze;
}

TEST(Stira, TwelveAndAHalfPercentPeakGrowsEightfold)
{
    Conteggi conteggi{};
    conteggi[0] = 1;
    conteggi[1] = 2;  // 12.5 % of 16
    const auto r = CalcolaRisultati(Lettere(), conteggi, 16, ".");
    const auto s = Stira(Altezze(r), Stato(r, 16));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->barre[1].altezza, 2500.0f);
    EXPECT_EQ(s->barre[1].top, 1940.0f);
    EXPECT_EQ(s->barre[0].altezza, 1250.0f);
    EXPECT_EQ(s->barre[2].altezza, 0.0f);
    EXPECT_EQ(s->barre[2].top, 4440.0f);
    EXPECT_EQ(s->perc1, "12 %");
    EXPECT_EQ(s->perc2, "6 %");
}

TEST(Stira, CaptionsAreExactWholeNumbers)
{
    const auto r = CalcolaRisultati(Lettere(), Solo(0, 29), 100, ".");
    const auto s = Stira(Altezze(r), Stato(r, 100));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->perc1, "29 %");
    EXPECT_EQ(s->perc2, "14 %");
    const auto meta = CalcolaRisultati(Lettere(), Solo(0, 27), 200, ".");  // 13.5 %: half first, then cut
    EXPECT_EQ(Stira(Altezze(meta), Stato(meta, 200))->perc2, "6 %");
}

TEST(Stira, FullPeakKeepsHeights)
{
    const auto r = CalcolaRisultati(Lettere(), Solo(4, 5), 5, ".");
    const auto s = Stira(Altezze(r), Stato(r, 5));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->barre[4].altezza, 2500.0f);
    EXPECT_EQ(s->perc1, "100 %");
    EXPECT_EQ(s->perc2, "50 %");
}

TEST(Stira, GuardAndMissingPeakChangeNothing)
{
    const std::array<float, NumeroSlot> altezze{};
    EXPECT_FALSE(Stira(altezze, StatoAnalisi{}));                // no analysis yet
    EXPECT_FALSE(Stira(altezze, StatoAnalisi{0.0, 10, 0, 0}));   // nothing counted
    EXPECT_FALSE(Stira(altezze, StatoAnalisi{50.0, 10, 1, 5}));  // stretched already
    EXPECT_TRUE(Stira(altezze, StatoAnalisi{50.0, 10, std::nullopt, 5}));
}

}  // namespace
}  // namespace varnel
