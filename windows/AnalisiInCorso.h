// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// An analysis while it runs: the record that its worker shares with the window, and the window's
// wait for it.

#include "FinestraAnalisi.h"

#include <QEventLoop>

#include <atomic>
#include <optional>

namespace varnel {

// One analysis on its worker. The worker shares only this record with the window, so that a
// worker that the system still holds can be given up: it never touches a widget.
struct FinestraAnalisi::Lavoro {
    Avanzamento avanzamento;
    std::optional<Esito<Analisi>> esito;
    std::atomic<bool> finito{false};
};

// The user-interface thread's wait for a worker, in an event loop of its own that stops when the
// worker is done, when the user cancels, when the window closes, or when the program quits.
class FinestraAnalisi::Attesa {
public:
    enum class Fine { Nessuna, Finita, Annullata, Chiusa };

    // Nessuna: the loop was ended from outside, as the program's end ends every loop.
    Fine esegui()
    {
        m_fine = Fine::Nessuna;
        m_ciclo.exec();
        return m_fine;
    }
    void termina(Fine fine)
    {
        m_fine = fine;
        m_ciclo.quit();
    }

private:
    QEventLoop m_ciclo;
    Fine m_fine = Fine::Nessuna;
};

}  // namespace varnel
