// SPDX-License-Identifier: GPL-3.0-or-later
#include "Stiramento.h"

namespace varnel {

std::optional<Stiramento> Stira(std::span<const float, NumeroSlot> altezze, const StatoAnalisi& stato)
{
    const double percMax = stato.PercMax.value_or(0);
    if (stato.Ottimizzato.value_or(0) != 0 || !(percMax > 0))
        return std::nullopt;
    Stiramento stiramento;
    for (std::size_t i = 0; i < NumeroSlot; ++i) {
        const double fattore = 100 / percMax;
        const auto altezza = static_cast<float>(static_cast<double>(altezze[i]) * fattore);
        stiramento.barre[i] = {altezza, static_cast<float>(BaseGrafico - static_cast<double>(altezza))};
    }
    const std::uint64_t picco = stato.ConteggioMax.value_or(0);
    const std::uint64_t totale = stato.Totale.value_or(0);
    stiramento.perc1 = EtichettaPercentuale(ParteIntera(picco, 100, totale));
    stiramento.perc2 = EtichettaPercentuale(ParteIntera(picco, 50, totale));
    return stiramento;
}

}  // namespace varnel
