// SPDX-License-Identifier: GPL-3.0-or-later
// The measured letter tables against published ones.
#include "TabelleLingue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

using namespace varnel;

namespace {

struct Riferimento {
    Lingua lingua;
    std::string lettere;        // the published most frequent letters, in their order
    std::vector<double> quote;  // and their percentages
    bool primeInOrdine;         // they are the table's first letters, in some order
};

class FrequenzeMisurate : public ::testing::TestWithParam<Riferimento> {};

TEST_P(FrequenzeMisurate, NearThePublishedTable)
{
    const auto& r = GetParam();
    const auto& f = FrequenzeLettere(r.lingua);
    EXPECT_NEAR(std::accumulate(f.begin(), f.end(), 0.0), 100.0, 0.01);
    for (std::size_t i = 0; i < r.lettere.size(); ++i)
        EXPECT_NEAR(f[static_cast<std::size_t>(r.lettere[i] - 'a')], r.quote[i], 1.5) << r.lettere[i];
    if (r.primeInOrdine) {
        std::vector<double> ordinate(f.begin(), f.end());
        std::sort(ordinate.begin(), ordinate.end(), std::greater<>());
        for (const char c : r.lettere)
            EXPECT_GE(f[static_cast<std::size_t>(c - 'a')], ordinate[r.lettere.size() - 1]) << c;
    }
}

INSTANTIATE_TEST_SUITE_P(Lingue, FrequenzeMisurate,
                         ::testing::Values(Riferimento{Lingua::Italiano, "eaio", {11.8, 11.7, 11.3, 9.8}, true},
                                           Riferimento{Lingua::Inglese, "etao", {12.7, 9.1, 8.2, 7.5}, false}));

TEST(Quadrigrammi, CommonOnesOutrankRareOnes)
{
    const auto indice = [](const char* q) {
        std::size_t i = 0;
        for (int k = 0; k < 4; ++k)
            i = i * 26 + static_cast<std::size_t>(q[k] - 'a');
        return i;
    };
    const auto& it = Quadrigrammi(Lingua::Italiano);
    const auto& en = Quadrigrammi(Lingua::Inglese);
    EXPECT_GT(it[indice("ella")], it[indice("thin")]);
    EXPECT_GT(en[indice("thin")], en[indice("ella")]);
    EXPECT_EQ(it[indice("qqqq")], 0);
}

}  // namespace
