// SPDX-License-Identifier: GPL-3.0-or-later
// The easy cases a key or a text may be: a shift or an affine map of the alphabet, or no simple
// substitution at all.
#include "Cifrario.h"

#include <cmath>

namespace varnel {

namespace {

// Fewer letters in the text fit some affine map too easily to say anything.
constexpr std::size_t LettereAffine = 4;
// How many standard deviations under the language's index make a simple substitution unlikely.
constexpr double Deviazioni = 3.0;

[[nodiscard]] bool Corrisponde(const Chiave& chiave, const Conteggi& conteggi, int a, int b)
{
    for (std::size_t s = 0; s < NumeroSlot; ++s) {
        if (conteggi[s] == 0)
            continue;
        if (chiave[s] < 'a' || chiave[s] > 'z')
            return false;
        if (static_cast<std::size_t>((a * (chiave[s] - 'a') + b) % 26) != s)
            return false;
    }
    return true;
}

}  // namespace

std::optional<Affine> RiconosciAffine(const Chiave& chiave, const Conteggi& conteggi)
{
    std::size_t presenti = 0;
    for (const auto n : conteggi)
        presenti += n > 0 ? 1u : 0u;
    if (presenti < LettereAffine)
        return std::nullopt;
    // The multipliers prime to 26, 1 first: a shift is named as such.
    for (const int a : {1, 3, 5, 7, 9, 11, 15, 17, 19, 21, 23, 25}) {
        for (int b = 0; b < 26; ++b) {
            if (Corrisponde(chiave, conteggi, a, b))
                return Affine{a, b};
        }
    }
    return std::nullopt;
}

bool SostituzioneImprobabile(const Conteggi& conteggi, Lingua lingua)
{
    double totale = 0;
    for (const auto n : conteggi)
        totale += static_cast<double>(n);
    if (totale < 2)
        return false;
    // The index of N letters of the language, a mean over pairs, spreads about Σp² with variance
    // (4(N − 2)(Σp³ − (Σp²)²) + 2(Σp² − (Σp²)²)) ÷ N(N − 1).
    double quadrati = 0;
    double cubi = 0;
    for (const double p : FrequenzeLettere(lingua)) {
        quadrati += (p / 100) * (p / 100);
        cubi += (p / 100) * (p / 100) * (p / 100);
    }
    const double varianza = (4 * (totale - 2) * (cubi - quadrati * quadrati) + 2 * (quadrati - quadrati * quadrati))
                            / (totale * (totale - 1));
    const double deviazione = std::sqrt(varianza);
    return IndiceCoincidenza(conteggi) < quadrati - Deviazioni * deviazione;
}

Riconosciuto Riconosci(const Chiave& chiave, const Conteggi& conteggi, const Criterio& criterio, Lingua lingua)
{
    std::uint64_t totale = 0;
    for (const auto n : conteggi)
        totale += n;
    Riconosciuto r;
    r.breve = totale < SimboliAffidabili;
    if (SostituzioneImprobabile(conteggi, lingua))
        r.sostituzione = Verdetto::Improbabile;
    else if (totale >= 2
             && IndiceCoincidenza(conteggi) >= (IndiceCoincidenzaLingua(lingua) + IndiceCoincidenzaCasuale) / 2)
        r.sostituzione = Verdetto::Probabile;
    // A shift of symbols typed in the advanced window means nothing: its slots are no alphabet.
    if (std::holds_alternative<ModoLettere>(criterio))
        r.affine = RiconosciAffine(chiave, conteggi);
    return r;
}

}  // namespace varnel
