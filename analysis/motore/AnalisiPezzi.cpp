// SPDX-License-Identifier: GPL-3.0-or-later
#include "AnalisiPezzi.h"

#include "Analizzatore.h"
#include "Motore.h"

namespace varnel {

// The engine that reads a file in order, on the kernels the environment picks.
AnalisiPezzi::AnalisiPezzi(const Criterio& criterio)
    : m_analizzatore(std::make_unique<dettaglio::Analizzatore>(criterio, dettaglio::OpzioniDaAmbiente().kernel))
{
}

AnalisiPezzi::~AnalisiPezzi() = default;
AnalisiPezzi::AnalisiPezzi(AnalisiPezzi&&) noexcept = default;
AnalisiPezzi& AnalisiPezzi::operator=(AnalisiPezzi&&) noexcept = default;

void AnalisiPezzi::consuma(std::span<const std::uint8_t> pezzo) { m_analizzatore->consuma(pezzo); }

Analisi AnalisiPezzi::concludi() { return m_analizzatore->concludi(); }

}  // namespace varnel
