// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The analysis of one range of a UTF-8 or Windows-1252 file, and the join of consecutive ranges
// into the analysis of the whole. A sequential reading is one range; a parallel one, many.

#include "Analisi.h"
#include "AnalisiTratti.h"
#include "Codifica.h"
#include "Kernel.h"
#include "MacchinaCampi.h"
#include "Simboli.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace varnel::dettaglio {

// What to count, worked out once from the criterion and shared by every range.
struct Obiettivi {
    Bersagli bersagli;
    std::array<int, NumeroSlot> bersaglioDelloSlot{};  // -1: the symbol has no Windows-1252 byte
    Sequenze sequenze;                                 // the symbols above U+007F, counted as UTF-8
    std::array<int, NumeroSlot> sequenzaDelloSlot{};   // -1: an ASCII symbol

    [[nodiscard]] static Obiettivi Da(const Criterio& criterio);
};

// What one range gives. The field reader's counts are kept for every state it may have started
// in, since only the ranges before it tell which one it did.
struct RisultatoTratto {
    ContiGrezzi conti;
    ContiGrezzi sequenze;  // as Obiettivi::sequenze
    std::uint64_t byte = 0;
    std::uint64_t continuazioni = 0;  // bytes 0x80 to 0xBF, meaningful while the file is UTF-8
    bool rotto = false;               // the range is not UTF-8
    bool aperto = false;              // it ends inside a UTF-8 sequence
    std::array<MacchinaCampi<std::uint8_t>, NumeroStatiCampi> campi{};
};

// The field reader's state where the text starts: before its first byte, or, when a UTF-8
// byte-order mark turns out to be text (the file is not UTF-8), after those three bytes.
[[nodiscard]] MacchinaCampi<std::uint8_t> InizioTesto(bool bomComeTesto);

// The states the field reader may be in where the bytes after any byte-order mark start: at a
// field's start, or, when the mark may turn out to be text, where those three bytes leave it.
[[nodiscard]] std::vector<StatoCampi> StatiIniziali(bool bom);

// The states the field reader may be in where range i of the plan starts.
[[nodiscard]] std::vector<StatoCampi> IniziDelTratto(const PianoTratti& piano, std::size_t i);

class AnalizzatoreTratto {
public:
    // `prima`: the up to 3 bytes before the range, empty where the text starts; `inizi`: the states
    // the field reader may be in at the range's start.
    AnalizzatoreTratto(const Obiettivi& obiettivi, const Kernel& kernel, std::span<const std::uint8_t> prima,
                       std::span<const StatoCampi> inizi);

    void consuma(const std::uint8_t* p, std::size_t n);
    [[nodiscard]] RisultatoTratto concludi() const;

private:
    void strutturaFetta(const std::uint8_t* p, std::size_t n);
    void riunisci();

    const Obiettivi* m_obiettivi;
    Kernel m_kernel;
    RisultatoTratto m_risultato;
    ValidatoreUtf8 m_validatore;
    std::uint64_t m_continuazioniPrima = 0;  // those of the bytes before the range
    Contesto m_contesto{};                   // the last bytes consumed, for encodings cut by a slice

    // One machine a start state. Machines that meet in the same state have the same future: from
    // then on only the first of them runs, and the others take on what it finds.
    std::array<MacchinaCampi<std::uint8_t>, NumeroStatiCampi> m_corsie{};
    std::array<int, NumeroStatiCampi> m_guida{};  // the machine followed; -1 runs its own, -2 not tracked
    std::array<MacchinaCampi<std::uint8_t>, NumeroStatiCampi> m_guidaAlFermo{};
    std::size_t m_attive = 0;
};

// The analysis of a text from its ranges, in file order from its start (after a UTF-8 byte-order
// mark, when `bom`).
[[nodiscard]] Analisi Unisci(const Criterio& criterio, const Obiettivi& obiettivi,
                             std::span<const RisultatoTratto> tratti, bool bom);

}  // namespace varnel::dettaglio
