// SPDX-License-Identifier: GPL-3.0-or-later
#include "Risultati.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace varnel {

std::uint64_t ParteIntera(std::uint64_t conteggio, std::uint64_t fattore, std::uint64_t totale)
{
    if (totale == 0)
        return 0;
    std::uint64_t intero = (conteggio / totale) * fattore;
    // Adds the remainder `fattore` times modulo `totale`, so that no product can overflow.
    const std::uint64_t resto = conteggio % totale;
    std::uint64_t accumulo = 0;
    for (std::uint64_t i = 0; i < fattore; ++i) {
        if (resto >= totale - accumulo) {
            accumulo -= totale - resto;
            ++intero;
        } else {
            accumulo += resto;
        }
    }
    return intero;
}

std::string EtichettaPercentuale(std::uint64_t intero) { return std::to_string(intero) + " %"; }

std::string TestoNumero(double valore, std::string_view separatore)
{
    // printf rather than to_chars, which not every standard library has for floating point; only
    // the digits and the exponent are read, so the locale's decimal point does not matter.
    char buffer[64];
    const int scritti = std::snprintf(buffer, sizeof buffer, "%.14e", valore);
    const std::string_view testo(buffer, static_cast<std::size_t>(scritti));
    const std::size_t e = testo.find('e');
    std::string cifre;
    for (const char c : testo.substr(0, e)) {
        if (c >= '0' && c <= '9')
            cifre += c;
    }
    int esponente = 0;
    std::from_chars(testo.data() + e + 1 + (testo[e + 1] == '+'), testo.data() + testo.size(), esponente);
    if (valore == 0)
        esponente = 0;

    std::string intera;
    std::string decimali;
    if (esponente >= 0) {
        cifre.resize(std::max(cifre.size(), static_cast<std::size_t>(esponente) + 1), '0');
        intera = cifre.substr(0, static_cast<std::size_t>(esponente) + 1);
        decimali = cifre.substr(static_cast<std::size_t>(esponente) + 1);
    } else {
        intera = "0";
        decimali = std::string(static_cast<std::size_t>(-esponente - 1), '0') + cifre;
    }
    while (!decimali.empty() && decimali.back() == '0')
        decimali.pop_back();
    return decimali.empty() ? intera : intera + std::string(separatore) + decimali;
}

Risultati CalcolaRisultati(std::span<const std::string, NumeroSlot> simboli, const Conteggi& conteggi,
                           std::uint64_t totale, std::string_view separatore)
{
    Risultati risultati;
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        double percentuale = 0;
        if (totale > 0) {
            const double quota = static_cast<double>(conteggi[k]) / static_cast<double>(totale);
            percentuale = quota * 100;
            const auto altezza = static_cast<float>(quota * ScalaBarre);
            risultati.barre[k] = {altezza, static_cast<float>(BaseGrafico - static_cast<double>(altezza))};
        }
        risultati.etichette[k] = EtichettaPercentuale(ParteIntera(conteggi[k], 100, totale));
        if (risultati.percMax < percentuale)
            risultati.percMax = percentuale;
        risultati.riepilogo += "Lettera " + simboli[k] + ": " + TestoNumero(percentuale, separatore) + " %;  ";
    }
    if (totale > 0)
        risultati.conteggioMax = *std::max_element(conteggi.begin(), conteggi.end());
    return risultati;
}

}  // namespace varnel
