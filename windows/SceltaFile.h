// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace varnel {

// The file to analyse, chosen in a modal file dialog over `finestra`; empty when the user cancels.
[[nodiscard]] QString ScegliFile(QWidget& finestra);

// Where to save, chosen in a modal save dialog that proposes the path `proposto` and asks before
// overwriting a file; empty when the user cancels.
[[nodiscard]] QString ScegliFileDaSalvare(QWidget& finestra, const QString& filtro, const QString& proposto);

}  // namespace varnel
