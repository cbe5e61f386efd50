// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// An analysis while it runs: the window's wait for its worker.

#include "FinestraAnalisi.h"

#include <QEventLoop>

namespace varnel {

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
