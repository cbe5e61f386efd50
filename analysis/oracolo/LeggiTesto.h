// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Esito.h"
#include "Simboli.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace varnel {

// Reads the fields of a decoded text as a reader of comma-separated records does and joins them
// with CR LF: blanks before a field are skipped; a field that opens with a double quote runs to the
// next one, then goes on unquoted; an unquoted field ends at a comma or a line end (CR LF, CR or LF),
// which is consumed; the last CR LF is dropped.
[[nodiscard]] std::u32string CampiInTesto(std::u32string_view caratteri);

// The whole text of a file, held in memory: the reference that the streaming analysis must match.
[[nodiscard]] Esito<std::u32string> LeggiTesto(const std::filesystem::path& percorso);

[[nodiscard]] Conteggi ContaLettere(std::u32string_view testo, ModoLettere modo);
[[nodiscard]] Conteggi ContaSimboli(std::u32string_view testo, const Simboli& simboli);

}  // namespace varnel
