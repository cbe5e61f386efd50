// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Codifica.h"
#include "Simboli.h"

#include <cstdint>

namespace varnel {

// What the analysis of one file gives: the 26 counts and the length of the text that the field
// reader would build from it, and the code page its bytes were read in.
struct Analisi {
    Conteggi conteggi{};
    std::uint64_t lunghezza = 0;  // characters of the text, CR LF joins included
    Codifica codifica = Codifica::Utf8;

    friend bool operator==(const Analisi&, const Analisi&) = default;
};

}  // namespace varnel
