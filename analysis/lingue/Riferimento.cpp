// SPDX-License-Identifier: GPL-3.0-or-later
#include "Riferimento.h"

#include "Risultati.h"

#include <numeric>

namespace varnel {

std::array<double, NumeroSlot> PercentualiRiferimento(Lingua lingua, const Conteggi& conteggi, std::uint64_t totale)
{
    const std::uint64_t lettere = std::accumulate(conteggi.begin(), conteggi.end(), std::uint64_t{0});
    const double quota = totale == 0 ? 1.0 : static_cast<double>(lettere) / static_cast<double>(totale);
    std::array<double, NumeroSlot> percentuali{};
    const auto& frequenze = FrequenzeLettere(lingua);
    for (std::size_t k = 0; k < NumeroSlot; ++k)
        percentuali[k] = frequenze[k] * quota;
    return percentuali;
}

float TopRiferimento(double percentuale, const StatoAnalisi& stato)
{
    // The stretch of "Ottimizza grafico" scales every bar by 100 ÷ the highest percentage.
    const double percMax = stato.PercMax.value_or(0);
    const double fattore = stato.Ottimizzato.value_or(0) != 0 && percMax > 0 ? 100 / percMax : 1.0;
    return static_cast<float>(BaseGrafico - percentuale / 100 * ScalaBarre * fattore);
}

}  // namespace varnel
