// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Every file the program writes goes through here: whole or not at all. The content goes to a
// temporary file created exclusively beside the destination (never an existing file), every
// write and the flush are checked, the file is synced and then renamed over the destination. On
// any failure or cancel the temporary file is removed and the destination is as it was.

#include "Esito.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

namespace varnel {

struct Scritto {};

// Takes the content in pieces; each piece is written at once, and a failure is reported there.
class Uscita {
public:
    virtual ~Uscita() = default;
    [[nodiscard]] virtual std::optional<Errore> scrivi(std::string_view byte) = 0;
};

// Gives the whole content to the output; an error (a cancel among them) abandons the file.
using Contenuto = std::function<std::optional<Errore>(Uscita&)>;

// A read-only destination is refused before anything is written (Motivo::SolaLettura).
[[nodiscard]] Esito<Scritto> ScriviFile(const std::filesystem::path& destinazione, const Contenuto& contenuto);
[[nodiscard]] Esito<Scritto> ScriviFile(const std::filesystem::path& destinazione, std::string_view contenuto);

}  // namespace varnel
