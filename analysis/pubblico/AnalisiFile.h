// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Analisi.h"
#include "Avanzamento.h"
#include "Esito.h"
#include "Simboli.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace varnel {

// Which file a path led to and which version of it: its identity on its disk, its size and time.
struct ImprontaFile {
    std::uint64_t volume = 0;  // the disk
    std::uint64_t nodo = 0;    // the file on that disk
    std::uint64_t dimensione = 0;
    std::int64_t modifica = 0;  // in the finest unit the system keeps
    bool regolare = false;      // pipes and devices have no size nor time
    friend bool operator==(const ImprontaFile&, const ImprontaFile&) = default;
};

// Analyses a file: the counts and the text length that reading it whole with the field reader and
// counting its text would give, in constant memory. Blocks its caller until the end, a failure or
// a cancel seen through `avanzamento`; opening never blocks, and pipes and devices are waited on in
// short slices, so a cancel takes effect at once. Regular files are read by several workers.
// Safe to run on any thread; `avanzamento` may be read from any other.
[[nodiscard]] Esito<Analisi> AnalizzaFile(const std::filesystem::path& percorso, const Criterio& criterio,
                                          Avanzamento& avanzamento);
// The same, telling which version of the file was analysed, for what later reads it again.
[[nodiscard]] Esito<Analisi> AnalizzaFile(const std::filesystem::path& percorso, const Criterio& criterio,
                                          Avanzamento& avanzamento, ImprontaFile& analizzato);

// The denominator: the text length, or with `ignoraAltri` the sum of the 26 counts.
[[nodiscard]] std::uint64_t Totale(const Analisi& analisi, bool ignoraAltri);

// The 26 symbols of a typed text, or nothing when it does not hold exactly 26 characters.
[[nodiscard]] std::optional<Simboli> SimboliDaTesto(std::u32string_view testo);

}  // namespace varnel
