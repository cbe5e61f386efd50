// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include <optional>

namespace varnel {

// The file that the command line (program name first, Qt's own options already taken away) asks
// the main window to analyse: empty when none; nothing when the line holds any other argument or
// a second file.
[[nodiscard]] std::optional<QString> FileDaRigaComando(const QStringList& argomenti);

// Writes how to start the program on standard error; returns the exit status of a wrong use.
int UsoErrato();

}  // namespace varnel
