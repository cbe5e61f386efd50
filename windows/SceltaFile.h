// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace varnel {

// The file to analyse, chosen in a modal file dialog over `finestra`; empty when the user cancels.
[[nodiscard]] QString ScegliFile(QWidget& finestra);

}  // namespace varnel
