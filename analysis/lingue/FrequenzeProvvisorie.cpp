// SPDX-License-Identifier: GPL-3.0-or-later
// Stand-in letter tables, rounded from published figures, until the tables measured by
// resources/lingue/genera replace this file.
#include "Lingue.h"

namespace varnel {

namespace {

constexpr std::array<double, 26> Italiano = {
    11.75, 0.92, 4.50, 3.73, 11.80, 0.95, 1.64, 1.54, 11.29, 0.00, 0.00, 6.51, 2.51,
    6.88,  9.83, 3.05, 0.51, 6.38,  4.98, 5.62, 3.01, 2.10,  0.00, 0.00, 0.00, 0.50,
};

constexpr std::array<double, 26> Inglese = {
    8.167, 1.492, 2.782, 4.253, 12.703, 2.228, 2.015, 6.094, 6.966, 0.153, 0.772, 4.025, 2.406,
    6.749, 7.507, 1.929, 0.095, 5.987,  6.327, 9.056, 2.758, 0.978, 2.360, 0.150, 1.974, 0.074,
};

}  // namespace

const std::array<double, 26>& FrequenzeLettere(Lingua lingua)
{
    return lingua == Lingua::Italiano ? Italiano : Inglese;
}

}  // namespace varnel
