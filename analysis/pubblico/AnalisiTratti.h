// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The analysis of a file split into ranges, for a caller that reads the file itself with several
// workers (a browser's): the split AnalizzaFile makes, each range analysed from its slices on its
// own, then the ranges joined in file order into exactly what reading the file in order gives.

#include "Analisi.h"
#include "Simboli.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace varnel {

namespace dettaglio {
struct StatoTratto;
}

// How a file is split. No ranges when it is read in order, by one AnalisiPezzi: a UTF-16 file,
// or one too small for workers to pay off.
struct PianoTratti {
    std::uint64_t dimensione = 0;
    bool bom = false;             // it starts with a UTF-8 byte-order mark, which no range holds
    std::uint64_t inizio = 0;     // where the first range starts
    std::uint64_t lunghezza = 0;  // of every range but the last
    std::size_t tratti = 0;

    [[nodiscard]] std::uint64_t da(std::size_t i) const { return inizio + i * lunghezza; }
    [[nodiscard]] std::uint64_t a(std::size_t i) const { return std::min(da(i) + lunghezza, dimensione); }
    // How many bytes just before range i its analysis needs too (they may open a UTF-8 sequence).
    [[nodiscard]] std::uint64_t prima(std::size_t i) const { return i == 0 ? 0 : 3; }
};

// The split of a file of `dimensione` bytes that starts with `iniziali` (its first 3 bytes, or all
// of it when shorter), for `lavoratori` workers.
[[nodiscard]] PianoTratti PianificaTratti(std::uint64_t dimensione, std::string_view iniziali, unsigned lavoratori);

// The analysis of one range, given its bytes in order in slices of any size, in constant memory.
class AnalisiTratto {
public:
    // `prima`: the piano.prima(indice) bytes before the range.
    AnalisiTratto(const Criterio& criterio, const PianoTratti& piano, std::size_t indice,
                  std::span<const std::uint8_t> prima);
    ~AnalisiTratto();
    AnalisiTratto(AnalisiTratto&&) noexcept;
    AnalisiTratto& operator=(AnalisiTratto&&) noexcept;

    void consuma(std::span<const std::uint8_t> pezzo);
    // What the range gives, as bytes for UnisciTratti, which may run in another instance of the
    // same build (another worker).
    [[nodiscard]] std::vector<std::uint8_t> concludi() const;

private:
    std::unique_ptr<dettaglio::StatoTratto> m_stato;
};

// The analysis of the file from what its ranges gave, concatenated in file order; nothing when
// they are not the plan's ranges' results.
[[nodiscard]] std::optional<Analisi> UnisciTratti(const Criterio& criterio, const PianoTratti& piano,
                                                  std::span<const std::uint8_t> parziali);

}  // namespace varnel
