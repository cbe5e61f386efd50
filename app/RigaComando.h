// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include <optional>
#include <span>

namespace varnel {

// The file that the command line (program name first, Qt's own options already taken away) asks
// the main window to analyse: empty when none; nothing when the line holds any other argument or
// a second file.
[[nodiscard]] std::optional<QString> FileDaRigaComando(const QStringList& argomenti);

// Writes how to start the program on standard error; returns the exit status of a wrong use.
int UsoErrato();

// --help (-h) writes how to start the program, --version its name and version, on standard output;
// the exit status then, nothing for any other command line. Read before Qt starts, so that they
// need no display.
[[nodiscard]] std::optional<int> RispostaInformativa(std::span<char* const> argomenti);

}  // namespace varnel
