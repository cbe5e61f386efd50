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

Conteggi Con(std::initializer_list<std::pair<std::size_t, std::uint64_t>> voci)
{
    Conteggi conteggi{};
    for (const auto& [slot, conteggio] : voci)
        conteggi[slot] = conteggio;
    return conteggi;
}

std::string RiepilogoSoloA(const char* percentuale)
{
    std::string riepilogo = std::string("Lettera a: ") + percentuale + " %;  ";
    for (char c = 'b'; c <= 'z'; ++c)
        riepilogo += std::string("Lettera ") + c + ": 0 %;  ";
    return riepilogo;
}

TEST(CalcolaRisultati, BarsLabelsSummaryAndPeak)
{
    // `slot`'s bar and label; every slot counted 0 shows an empty bar and "0 %".
    const struct {
        Conteggi conteggi;
        std::uint64_t denominatore;
        const char* separatore;
        std::size_t slot;
        float altezza, top;
        std::string etichetta, riepilogo;  // a part of the summary
        double percMax;
        std::uint64_t conteggioMax;
    } casi[] = {
        {Con({{3, 1}}), 8, ",", 3, 312.5f, 4127.5f, "12 %", "Lettera d: 12,5 %;  Lettera e: 0 %;  ", 12.5, 1},
        // Whole numbers that floating point misses.
        {Con({{0, 29}, {1, 57}}), 100, ".", 1, 1425.0f, 3015.0f, "57 %", "Lettera a: 29 %;  Lettera b: 57 %;  Let", 57,
         57},
        {Con({{0, 1}}), 1, ".", 0, 2500.0f, 1940.0f, "100 %", RiepilogoSoloA("100"), 100, 1},
        {Conteggi{}, 0, ".", 0, 0.0f, 4440.0f, "0 %", RiepilogoSoloA("0"), 0, 0},  // a zero denominator
        {Con({{2, 3}, {7, 3}, {9, 2}}), 8, ".", 7, 937.5f, 3502.5f, "37 %", "Lettera c: 37.5 %;  ", 37.5, 3},  // a tie
    };
    for (const auto& caso : casi) {
        const auto r = CalcolaRisultati(Lettere(), caso.conteggi, caso.denominatore, caso.separatore);
        EXPECT_EQ(r.barre[caso.slot].altezza, caso.altezza) << caso.riepilogo;
        EXPECT_EQ(r.barre[caso.slot].top, caso.top) << caso.riepilogo;
        EXPECT_EQ(r.etichette[caso.slot], caso.etichetta) << caso.riepilogo;
        for (std::size_t k = 0; k < NumeroSlot; ++k) {
            if (caso.conteggi[k] == 0) {
                EXPECT_EQ(r.barre[k].altezza, 0.0f) << caso.riepilogo << k;
                EXPECT_EQ(r.barre[k].top, 4440.0f) << caso.riepilogo << k;
                EXPECT_EQ(r.etichette[k], "0 %") << caso.riepilogo << k;
            }
        }
        EXPECT_NE(r.riepilogo.find(caso.riepilogo), std::string::npos) << r.riepilogo;
        EXPECT_DOUBLE_EQ(r.percMax, caso.percMax) << caso.riepilogo;
        EXPECT_EQ(r.conteggioMax, caso.conteggioMax) << caso.riepilogo;
    }
}

TEST(Stira, TheTallestBarFillsThePlotAndTheCaptionsFollow)
{
    const struct {
        Conteggi conteggi;
        std::uint64_t denominatore;
        std::array<float, 3> altezze;  // of the first three bars, stretched
        std::string perc1, perc2;
    } casi[] = {
        {Con({{0, 1}, {1, 2}}), 16, {1250.0f, 2500.0f, 0.0f}, "12 %", "6 %"},  // 12.5 %: eightfold
        {Con({{0, 29}}), 100, {2500.0f, 0.0f, 0.0f}, "29 %", "14 %"},          // exact whole numbers
        {Con({{0, 27}}), 200, {2500.0f, 0.0f, 0.0f}, "13 %", "6 %"},           // 13.5 %: half first, then cut
        {Con({{1, 5}}), 5, {0.0f, 2500.0f, 0.0f}, "100 %", "50 %"},            // a full peak keeps the heights
    };
    for (const auto& caso : casi) {
        const auto r = CalcolaRisultati(Lettere(), caso.conteggi, caso.denominatore, ".");
        std::array<float, NumeroSlot> altezze{};
        for (std::size_t k = 0; k < NumeroSlot; ++k)
            altezze[k] = r.barre[k].altezza;
        const auto s = Stira(altezze, StatoAnalisi{r.percMax, caso.denominatore, 0, r.conteggioMax});
        ASSERT_TRUE(s) << caso.perc1;
        for (std::size_t k = 0; k < caso.altezze.size(); ++k) {
            EXPECT_EQ(s->barre[k].altezza, caso.altezze[k]) << caso.perc1 << k;
            EXPECT_EQ(s->barre[k].top, 4440.0f - caso.altezze[k]) << caso.perc1 << k;
        }
        EXPECT_EQ(s->perc1, caso.perc1);
        EXPECT_EQ(s->perc2, caso.perc2);
    }
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
