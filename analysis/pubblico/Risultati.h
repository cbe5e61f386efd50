// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Simboli.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace varnel {

// Bars grow upward from the baseline; a share of 100 % is ScalaBarre twips tall.
inline constexpr double ScalaBarre = 2500.0;
inline constexpr double BaseGrafico = 4440.0;

struct Barra {
    float altezza = 0;  // twips
    float top = static_cast<float>(BaseGrafico);
};

struct Risultati {
    std::array<Barra, NumeroSlot> barre{};
    std::array<std::string, NumeroSlot> etichette;  // "12 %" under each bar
    std::string riepilogo;
    double percMax = 0;
    std::uint64_t conteggioMax = 0;
};

// The pure half of showing an analysis: bar geometry, percentage labels, the one-line summary
// and the peak. `simboli` are the UTF-8 captions of the symbol labels; `separatore` the user's
// decimal separator. A zero denominator gives zeros everywhere.
[[nodiscard]] Risultati CalcolaRisultati(std::span<const std::string, NumeroSlot> simboli, const Conteggi& conteggi,
                                         std::uint64_t totale, std::string_view separatore);

// floor(conteggio × fattore ÷ totale) in integers, for conteggio ≤ totale: the whole part that a
// floating-point percentage can get wrong (29 of 100 is 28.999999999999996).
[[nodiscard]] std::uint64_t ParteIntera(std::uint64_t conteggio, std::uint64_t fattore, std::uint64_t totale);

[[nodiscard]] std::string EtichettaPercentuale(std::uint64_t intero);

// A percentage (never negative) in plain decimals: at most 15 significant digits, trailing zeros dropped, never an exponent.
[[nodiscard]] std::string TestoNumero(double valore, std::string_view separatore);

}  // namespace varnel
