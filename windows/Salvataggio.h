// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Saving from the windows: every file goes through the core's one writer, and a failure is told
// to the user in the same words whatever the command.

#include "Esito.h"
#include "Scrittura.h"

#include <QString>

#include <string_view>

class QWidget;

namespace varnel {

// A message box over `finestra`: no icon, one OK button, the title "Varnel", the text as it is.
void Avvisa(QWidget& finestra, const QString& testo);

// "Impossibile salvare il file "…": " and the reason as a user understands it.
[[nodiscard]] QString MessaggioScrittura(const QString& percorso, const Errore& errore);

// Writes `contenuto` (or what `contenuto` gives) to `percorso` whole or not at all; on a failure
// other than a cancel, tells the user. True when the file was written.
bool SalvaFile(QWidget& finestra, const QString& percorso, std::string_view contenuto);
bool SalvaFile(QWidget& finestra, const QString& percorso, const Contenuto& contenuto);

}  // namespace varnel
