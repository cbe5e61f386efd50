// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Simboli.h"

#include <cstdint>

namespace varnel {

// How the bytes of a file become characters: UTF-16 when it starts with a UTF-16 byte-order mark,
// UTF-8 when it is valid UTF-8 (a byte-order mark skipped), otherwise one byte per Windows-1252 character.
enum class Codifica { Utf8, Utf16LE, Utf16BE, Windows1252 };

// What the analysis of one file gives: the 26 counts and the length of the text that the field
// reader would build from it, and the code page its bytes were read in.
struct Analisi {
    Conteggi conteggi{};
    std::uint64_t lunghezza = 0;  // characters of the text, CR LF joins included
    Codifica codifica = Codifica::Utf8;

    friend bool operator==(const Analisi&, const Analisi&) = default;
};

}  // namespace varnel
