#pragma once

// The kernels that the analyser runs over each slice of bytes: counting target bytes, the field
// machine, the UTF-8 check. One family per instruction set, chosen at run time.

#include "Codifica.h"
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
    // First of 32 consecutive byte values that hold every target, -1 when they are farther apart:
    // then a byte's distance from it says which target it is, and one lookup replaces 26 compares.
    int finestra = -1;
};

// Sets `finestra` once the targets are known.
void FissaFinestra(Bersagli& bersagli);

struct ContiGrezzi {
    std::array<std::uint64_t, NumeroSlot> perBersaglio{};
};

// The kernel families, narrowest first. Each gives the same results; the widest one the CPU runs is
// the default.
enum class Percorso { Scalare, Avx2, Avx512 };
inline constexpr Percorso Percorsi[] = {Percorso::Scalare, Percorso::Avx2, Percorso::Avx512};

[[nodiscard]] const char* NomePercorso(Percorso percorso);
// Whether this build and this CPU run the kernels of a family.
[[nodiscard]] bool Disponibile(Percorso percorso);
// The widest family this CPU runs.
[[nodiscard]] Percorso PercorsoMigliore();

template <class Unita>
class MacchinaCampi;

// Checks whole blocks of UTF-8 at once from a point where no sequence is open; returns where the
// sequence left open at the end begins (or the end), nullptr when the bytes are not UTF-8, and adds
// the continuation bytes before that point.
using ValidaBlocchi = const std::uint8_t* (*)(const std::uint8_t* p, const std::uint8_t* fine, std::uint64_t& continuazioni);

struct Kernel {
    void (*conta)(const std::uint8_t* p, std::size_t n, const Bersagli& bersagli, ContiGrezzi& conti);
    void (*campi)(const std::uint8_t* p, std::size_t n, MacchinaCampi<std::uint8_t>& macchina);
    ValidaBlocchi validaUtf8;       // null: the byte-at-a-time validator does it all
    ValidatoreUtf8::SaltaAscii saltaAscii;  // for the validator that reports symbols above ASCII
};
// The kernels of a family, or of the widest one below it that the CPU runs.
[[nodiscard]] Kernel KernelPer(Percorso percorso);

void ContaScalare(const std::uint8_t* p, std::size_t n, const Bersagli& bersagli, ContiGrezzi& conti);
void CampiScalare(const std::uint8_t* p, std::size_t n, MacchinaCampi<std::uint8_t>& macchina);
const std::uint8_t* FineCampoScalare(const std::uint8_t* p, const std::uint8_t* fine);  // first , CR or LF
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VARNEL_X86 1
void ContaAvx2(const std::uint8_t* p, std::size_t n, const Bersagli& bersagli, ContiGrezzi& conti);
void CampiAvx2(const std::uint8_t* p, std::size_t n, MacchinaCampi<std::uint8_t>& macchina);
const std::uint8_t* ValidaUtf8Avx2(const std::uint8_t* p, const std::uint8_t* fine, std::uint64_t& continuazioni);
const std::uint8_t* SaltaAsciiAvx2(const std::uint8_t* p, const std::uint8_t* fine);
#endif

}  // namespace varnel::dettaglio
