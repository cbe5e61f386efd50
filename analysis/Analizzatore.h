#pragma once

// The streaming engine behind AnalizzaFile: the analyser that ties the kernels to a stream of bytes.
// Not for the windows; tests and the fuzzer use it.

#include "Analisi.h"
#include "Codifica.h"
#include "Kernel.h"
#include "MacchinaCampi.h"
#include "Simboli.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace varnel::dettaglio {

// Turns a stream of bytes, given in pieces of any size, into the counts and the length of the
// text that LeggiTesto would build from the same bytes. Memory stays constant whatever the size.
class Analizzatore {
public:
    Analizzatore(const Criterio& criterio, const Kernel& kernel);
    Analizzatore(const Criterio& criterio, Percorso percorso)
        : Analizzatore(criterio, KernelPer(percorso))
    {
    }

    void consuma(std::span<const std::uint8_t> byte);
    [[nodiscard]] Analisi concludi();

private:
    enum class Fase { Inizio, Byte, Utf16 };

    void decidiCodifica();
    void consumaByte(const std::uint8_t* p, const std::uint8_t* fine);
    void strutturaFetta(const std::uint8_t* p, std::size_t n);
    void contaSequenze(const std::uint8_t* p, std::size_t n);
    [[nodiscard]] int sequenzaPer(char32_t simbolo);
    void consumaUtf16(const std::uint8_t* p, const std::uint8_t* fine);
    void consumaCaratteri(std::span<const char32_t> caratteri);
    [[nodiscard]] std::uint64_t slotMaschera(char32_t c) const;
    template <class Unita>
    [[nodiscard]] std::uint64_t correzione(std::size_t slot, const MacchinaCampi<Unita>& macchina) const;

    Criterio m_criterio;
    Kernel m_kernel;
    Fase m_fase = Fase::Inizio;
    std::array<std::uint8_t, 3> m_iniziali{};
    std::size_t m_numeroIniziali = 0;

    // Bytes read as UTF-8 or Windows-1252: both share the field structure, since every delimiter
    // is ASCII and no byte of a UTF-8 sequence is; only a byte-order mark sets them apart.
    bool m_bom = false;
    std::uint64_t m_byte = 0;  // after the byte-order mark
    Bersagli m_bersagli;
    std::array<int, NumeroSlot> m_bersaglioDelloSlot{};  // -1: the symbol has no Windows-1252 byte
    ContiGrezzi m_conti;
    MacchinaCampi<std::uint8_t> m_macchina;        // after the byte-order mark
    MacchinaCampi<std::uint8_t> m_macchinaConBom;  // from byte 0, for when the file is not UTF-8
    ValidatoreUtf8 m_validatore;
    // Symbols above U+007F, counted by their encodings for when the file is UTF-8.
    Sequenze m_sequenze;
    std::array<int, NumeroSlot> m_sequenzaDelloSlot{};  // -1: ASCII, or no UTF-8 encoding
    ContiGrezzi m_contiSequenze;
    Contesto m_contesto{};

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
