// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The streaming engine behind AnalizzaFile: the analyser of one stream of bytes read in order.
// Not for the windows; tests and the fuzzer use it.

#include "Analisi.h"
#include "Kernel.h"
#include "MacchinaCampi.h"
#include "Simboli.h"
#include "Tratto.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace varnel::dettaglio {

// Turns a stream of bytes, given in pieces of any size, into the counts and the length of the
// text that LeggiTesto would build from the same bytes. Memory stays constant whatever the size.
class Analizzatore {
public:
    Analizzatore(const Criterio& criterio, const Kernel& kernel);

    void consuma(std::span<const std::uint8_t> byte);
    [[nodiscard]] Analisi concludi();

private:
    enum class Fase { Inizio, Byte, Utf16 };

    void decidiCodifica();
    void consumaUtf16(const std::uint8_t* p, const std::uint8_t* fine);
    void consumaCaratteri(std::span<const char32_t> caratteri);
    [[nodiscard]] std::uint64_t slotMaschera(char32_t c) const;
    [[nodiscard]] Analisi concludiUtf16();

    Criterio m_criterio;
    Obiettivi m_obiettivi;
    Kernel m_kernel;
    Fase m_fase = Fase::Inizio;
    std::array<std::uint8_t, 3> m_iniziali{};
    std::size_t m_numeroIniziali = 0;

    // Bytes read as UTF-8 or Windows-1252: both share the field structure, since every delimiter
    // is ASCII and no byte of a UTF-8 sequence is; only a byte-order mark sets them apart.
    bool m_bom = false;
    std::optional<AnalizzatoreTratto> m_tratto;  // after the byte-order mark

    // UTF-16 files: decoded to code points, then counted one by one.
    bool m_grandeFinale = false;
    int m_byteSospeso = -1;
    char32_t m_surrogatoAlto = 0;
    std::uint64_t m_caratteri = 0;
    std::array<std::uint64_t, NumeroSlot> m_contiCaratteri{};
    MacchinaCampi<char32_t> m_macchinaCaratteri;
    std::vector<char32_t> m_decodificati;
};

}  // namespace varnel::dettaglio
