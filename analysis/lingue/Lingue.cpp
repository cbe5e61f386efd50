// SPDX-License-Identifier: GPL-3.0-or-later
#include "TabelleLingue.h"

#include <memory>

namespace varnel {

namespace {

// Each quadgram seen: its distance from the last one seen, 7 bits a byte from the lowest, the high
// bit set on all bytes but the last; then its value.
std::unique_ptr<const TabellaQuadrigrammi> Espandi(std::span<const std::uint8_t> compressi)
{
    auto tabella = std::make_unique<TabellaQuadrigrammi>();
    std::size_t indice = 0;
    for (std::size_t i = 0; i < compressi.size();) {
        std::size_t salto = 0;
        for (unsigned spostamento = 0;; spostamento += 7) {
            const std::uint8_t b = compressi[i++];
            salto |= static_cast<std::size_t>(b & 127) << spostamento;
            if (b < 128)
                break;
        }
        indice += salto;
        (*tabella)[indice++] = compressi[i++];
    }
    return tabella;
}

}  // namespace

const std::array<double, 26>& FrequenzeLettere(Lingua lingua)
{
    return lingua == Lingua::Italiano ? FrequenzeItaliano : FrequenzeInglese;
}

const TabellaQuadrigrammi& Quadrigrammi(Lingua lingua)
{
    // Expanded on first use, once for the whole run (static initialisation is thread-safe).
    static const auto italiano = Espandi(QuadrigrammiCompressiItaliano);
    static const auto inglese = Espandi(QuadrigrammiCompressiInglese);
    return lingua == Lingua::Italiano ? *italiano : *inglese;
}

}  // namespace varnel
