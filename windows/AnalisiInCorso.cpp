// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis on its worker thread, while the user-interface thread waits for it.
#include "FinestraAnalisi.h"

#include <utility>

namespace varnel {

Esito<Analisi> FinestraAnalisi::analizzaConAvanzamento(const QString& descrizione, Lettura lettura)
{
    auto lavoro = AvviaLavoro(std::move(lettura));
    Attesa attesa(*this, descrizione);
    m_attesa = &attesa;
    auto esito = attesa.attendi(*lavoro);
    m_attesa = nullptr;
    if (!lavoro->finito()) {
        std::erase_if(m_abbandonati, [](const auto& l) { return l->finito(); });
        m_abbandonati.push_back(std::move(lavoro));
    }
    return esito;
}

}  // namespace varnel
