// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Analisi.h"
#include "Simboli.h"

#include <cstdint>
#include <memory>
#include <span>

namespace varnel {

namespace dettaglio {
class Analizzatore;
}

// The analysis of bytes that the caller reads itself, in slices of any size and in order (a
// browser hands out a file as slices, not as a path): the counts and the text length that
// AnalizzaFile gives for a file of the same bytes, in constant memory.
class AnalisiPezzi {
public:
    explicit AnalisiPezzi(const Criterio& criterio);
    ~AnalisiPezzi();
    AnalisiPezzi(AnalisiPezzi&&) noexcept;
    AnalisiPezzi& operator=(AnalisiPezzi&&) noexcept;

    void consuma(std::span<const std::uint8_t> pezzo);
    // The result of the bytes given so far; then the analysis is over.
    [[nodiscard]] Analisi concludi();

private:
    std::unique_ptr<dettaglio::Analizzatore> m_analizzatore;
};

}  // namespace varnel
