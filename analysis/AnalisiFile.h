#pragma once

#include "Esito.h"
#include "Scansione.h"

#include <cstdint>
#include <filesystem>
#include <functional>

namespace varnel {

// Told how many bytes have been read of how many (0 when the size is unknown, as for a pipe);
// returns false to stop the analysis.
using Avanzamento = std::function<bool(std::uint64_t letti, std::uint64_t dimensione)>;

// Streams a file once, in a buffer of fixed size, into the counts and the text length that
// LeggiTesto and the counting of its text would give.
[[nodiscard]] Esito<Analisi> AnalizzaFile(const std::filesystem::path& percorso, const Criterio& criterio,
                                          const Avanzamento& avanzamento = {},
                                          dettaglio::Percorso percorsoKernel = dettaglio::Percorso::Vettoriale);

// The denominator: the text length, or with `ignoraAltri` the sum of the 26 counts.
[[nodiscard]] std::uint64_t Totale(const Analisi& analisi, bool ignoraAltri);

// The 26 symbols of a typed text, or nothing when it does not hold exactly 26 characters.
[[nodiscard]] std::optional<Simboli> SimboliDaTesto(std::u32string_view testo);

}  // namespace varnel
