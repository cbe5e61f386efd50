// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The kernels that the analyser runs over each slice of bytes: counting target bytes, the field
// machine, the UTF-8 check, counting the UTF-8 encodings of symbols above ASCII. One family per
// instruction set, chosen at run time; the families' own functions are in Famiglie.h.

#include "MacchinaCampi.h"
#include "Simboli.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace varnel::dettaglio {

// Up to 26 byte values to count; with `piega` each byte is compared with bit 0x20 set, so that
// one target 'a' counts both 'a' and 'A'.
struct Bersagli {
    std::array<std::uint8_t, NumeroSlot> byte{};
    std::size_t numero = 0;
    bool piega = false;
    // First of 32 consecutive byte values that hold the most targets, -1 when none holds enough of
    // them: a byte's distance from it says which of those it is, and one lookup replaces their
    // compares. The targets outside the band, listed in `fuori`, are compared one by one.
    int fascia = -1;
    std::array<std::uint8_t, NumeroSlot> fuori{};  // indices into `byte`
    std::size_t numeroFuori = 0;

    [[nodiscard]] bool inFascia(std::size_t t) const
    {
        return fascia >= 0 && byte[t] >= fascia && byte[t] - fascia < 32;
    }
};

// Sets `fascia` and `fuori` once the targets are known.
void FissaFascia(Bersagli& bersagli);

struct ContiGrezzi {
    std::array<std::uint64_t, NumeroSlot> perBersaglio{};
};

// Up to 26 code points above U+007F, counted in UTF-8 by their encodings: in valid UTF-8 every
// match of a whole encoding is one occurrence. `indietro[s]` holds the bytes of one from the last
// backwards, `lunghezza[s]` how many there are (2 to 4).
struct Sequenze {
    std::array<std::array<std::uint8_t, 4>, NumeroSlot> indietro{};
    std::array<std::uint8_t, NumeroSlot> lunghezza{};
    std::size_t numero = 0;
};

// The three bytes before a slice, the nearest first; zero where the stream has none, which reads
// as ASCII. An encoding cut by the slice's start is counted by the slice that holds its last byte.
using Contesto = std::array<std::uint8_t, 3>;

// The kernel families, narrowest first. Each gives the same results; the widest one the CPU runs is
// the default. WebAssembly's SIMD is chosen when the module is built, as the browser can load
// a module that uses it only where it runs.
enum class Famiglia { Scalare, Wasm128, Avx2, Avx512 };
inline constexpr Famiglia Famiglie[] = {Famiglia::Scalare, Famiglia::Wasm128, Famiglia::Avx2, Famiglia::Avx512};

[[nodiscard]] const char* NomeFamiglia(Famiglia famiglia);
// Whether this build and this CPU run the kernels of a family.
[[nodiscard]] bool Disponibile(Famiglia famiglia);
// The widest family this CPU runs.
[[nodiscard]] Famiglia FamigliaMigliore();

template <class Unita>
class MacchinaCampi;

// Checks whole blocks of UTF-8 at once from a point where no sequence is open; returns where the
// sequence left open at the end begins (or the end), nullptr when the bytes are not UTF-8, and adds
// the continuation bytes before that point.
using ValidaBlocchi = const std::uint8_t* (*)(const std::uint8_t* p, const std::uint8_t* fine,
                                              std::uint64_t& continuazioni);

using ContaSequenze = void (*)(const std::uint8_t* p, std::size_t n, const Contesto& prima, const Sequenze& sequenze,
                               ContiGrezzi& conti);

struct Kernel {
    void (*conta)(const std::uint8_t* p, std::size_t n, const Bersagli& bersagli, ContiGrezzi& conti);
    void (*campi)(const std::uint8_t* p, std::size_t n, MacchinaCampi<std::uint8_t>& macchina);
    ValidaBlocchi validaUtf8;  // null: the byte-at-a-time validator does it all
    ContaSequenze contaSequenze;
};
// The kernels of a family, or of the widest one below it that the CPU runs.
[[nodiscard]] Kernel KernelPer(Famiglia famiglia);

}  // namespace varnel::dettaglio
