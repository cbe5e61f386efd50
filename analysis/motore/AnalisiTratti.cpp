// SPDX-License-Identifier: GPL-3.0-or-later
#include "AnalisiTratti.h"

#include "Motore.h"
#include "Tratto.h"

#include <cstring>
#include <type_traits>

namespace varnel {

namespace dettaglio {

// A range's result travels as its bytes: between instances of one build they mean the same.
static_assert(std::is_trivially_copyable_v<RisultatoTratto>);

// The analyser refers to its targets, kept beside it.
struct StatoTratto {
    Obiettivi obiettivi;
    AnalizzatoreTratto tratto;

    StatoTratto(const Criterio& criterio, const PianoTratti& piano, std::size_t indice,
                std::span<const std::uint8_t> prima)
        : obiettivi(Obiettivi::Da(criterio))
        , tratto(obiettivi, OpzioniDaAmbiente().kernel, prima, IniziDelTratto(piano, indice))
    {
    }
};

}  // namespace dettaglio

AnalisiTratto::AnalisiTratto(const Criterio& criterio, const PianoTratti& piano, std::size_t indice,
                             std::span<const std::uint8_t> prima)
    : m_stato(std::make_unique<dettaglio::StatoTratto>(criterio, piano, indice, prima))
{
}

AnalisiTratto::~AnalisiTratto() = default;
AnalisiTratto::AnalisiTratto(AnalisiTratto&&) noexcept = default;
AnalisiTratto& AnalisiTratto::operator=(AnalisiTratto&&) noexcept = default;

void AnalisiTratto::consuma(std::span<const std::uint8_t> pezzo)
{
    m_stato->tratto.consuma(pezzo.data(), pezzo.size());
}

std::vector<std::uint8_t> AnalisiTratto::concludi() const
{
    const dettaglio::RisultatoTratto risultato = m_stato->tratto.concludi();
    std::vector<std::uint8_t> byte(sizeof risultato);
    std::memcpy(byte.data(), &risultato, sizeof risultato);
    return byte;
}

std::optional<Analisi> UnisciTratti(const Criterio& criterio, const PianoTratti& piano,
                                    std::span<const std::uint8_t> parziali)
{
    std::vector<dettaglio::RisultatoTratto> risultati(piano.tratti);
    if (parziali.size() != risultati.size() * sizeof(dettaglio::RisultatoTratto))
        return std::nullopt;
    if (!parziali.empty())  // a plan of no ranges has no buffer to copy, nor to copy into
        std::memcpy(risultati.data(), parziali.data(), parziali.size());
    return dettaglio::Unisci(criterio, dettaglio::Obiettivi::Da(criterio), risultati, piano.bom);
}

}  // namespace varnel
