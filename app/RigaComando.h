// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace varnel {

// The command line, Qt's own options already taken away, as the system spells paths: the bytes of
// `argv` on POSIX, where a name need not be UTF-8; the UTF-16 that Qt read on Windows.
[[nodiscard]] std::vector<std::filesystem::path> ArgomentiDiSistema(int argc, char** argv);

// The file that the command line (program name first) asks the main window to analyse: empty when
// none; nothing when the line holds any other argument or a second file.
[[nodiscard]] std::optional<std::filesystem::path>
FileDaRigaComando(const std::vector<std::filesystem::path>& argomenti);

// Writes how to start the program on standard error; returns the exit status of a wrong use.
int UsoErrato();

// --help (-h) writes how to start the program, --version its name and version, on standard output;
// the exit status then, nothing for any other command line. Read before Qt starts, so that they
// need no display.
[[nodiscard]] std::optional<int> RispostaInformativa(std::span<char* const> argomenti);

}  // namespace varnel
