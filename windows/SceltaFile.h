// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <filesystem>
#include <string_view>

class QWidget;

namespace varnel {

// The file to analyse, chosen in a modal file dialog over `finestra`; empty when the user cancels.
[[nodiscard]] QString ScegliFile(QWidget& finestra);

// Where to save, chosen in a modal save dialog that proposes the path `proposto` and asks before
// overwriting a file; empty when the user cancels.
[[nodiscard]] QString ScegliFileDaSalvare(QWidget& finestra, const QString& filtro, const QString& proposto);

// A path as the system spells it, for the core's file functions.
[[nodiscard]] std::filesystem::path PercorsoDiSistema(const QString& percorso);

// The UTF-16 units of a text, for the core's functions on pasted text; they live as long as it.
[[nodiscard]] std::u16string_view Utf16(const QString& testo);

}  // namespace varnel
