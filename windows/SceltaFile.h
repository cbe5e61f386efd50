// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <filesystem>
#include <string_view>

class QUrl;
class QWidget;

namespace varnel {

// The file to analyse, chosen in a modal file dialog over `finestra`; empty when the user cancels.
[[nodiscard]] QString ScegliFile(QWidget& finestra);

// Where to save, chosen in a modal save dialog that proposes the path `proposto` and asks before
// overwriting a file; empty when the user cancels.
[[nodiscard]] QString ScegliFileDaSalvare(QWidget& finestra, const QString& filtro, const QString& proposto);

// A path as the system spells it, for the core's file functions.
[[nodiscard]] std::filesystem::path PercorsoDiSistema(const QString& percorso);

// A path as the user reads it: a name that is not UTF-8 shows with replacement characters.
[[nodiscard]] QString PercorsoMostrato(const std::filesystem::path& percorso);

// The local file a dropped address names, as the system spells it.
[[nodiscard]] std::filesystem::path PercorsoDaIndirizzo(const QUrl& indirizzo);

// The UTF-16 units of a text, for the core's functions on pasted text; they live as long as it.
[[nodiscard]] std::u16string_view Utf16(const QString& testo);

}  // namespace varnel
