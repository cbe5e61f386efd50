#pragma once

// The streaming engine behind AnalizzaFile: counting kernels, the field machine and the
// analyser that ties them to a stream of bytes. Not for the windows; tests and the fuzzer use it.

#include "Codifica.h"
#include "Simboli.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace varnel {

struct Analisi {
    Conteggi conteggi{};
    std::uint64_t lunghezza = 0;  // characters of the text, CR LF joins included
    Codifica codifica = Codifica::Utf8;
};

namespace dettaglio {

// Up to 26 byte values to count; with `piega` each byte is compared with bit 0x20 set, so that
// one target 'a' counts both 'a' and 'A'.
struct Bersagli {
    std::array<std::uint8_t, NumeroSlot> byte{};
    std::size_t numero = 0;
    bool piega = false;
};

struct ContiGrezzi {
    std::array<std::uint64_t, NumeroSlot> perBersaglio{};
    std::uint64_t continuazioni = 0;  // UTF-8 continuation bytes, 0x80 to 0xBF
};

enum class Percorso { Scalare, Vettoriale };

// Whether this CPU runs the vector kernels; elsewhere Vettoriale falls back to the scalar ones.
[[nodiscard]] bool VettorialeDisponibile();

struct Kernel {
    void (*conta)(const std::uint8_t* p, std::size_t n, const Bersagli& bersagli, ContiGrezzi& conti);
    const std::uint8_t* (*fineCampo)(const std::uint8_t* p, const std::uint8_t* fine);  // first , CR or LF
};
[[nodiscard]] Kernel KernelPer(Percorso percorso);

void ContaScalare(const std::uint8_t* p, std::size_t n, const Bersagli& bersagli, ContiGrezzi& conti);
const std::uint8_t* FineCampoScalare(const std::uint8_t* p, const std::uint8_t* fine);
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VARNEL_AVX2 1
void ContaAvx2(const std::uint8_t* p, std::size_t n, const Bersagli& bersagli, ContiGrezzi& conti);
const std::uint8_t* FineCampoAvx2(const std::uint8_t* p, const std::uint8_t* fine);
#endif

// The characters that the field reader consumes instead of passing them to the text.
enum Speciale : std::uint8_t { Spazio, Virgoletta, Virgola, CarRitorno, ACapo, NumeroSpeciali };
[[nodiscard]] constexpr int IndiceSpeciale(char32_t c)
{
    switch (c) {
    case U' ': return Spazio;
    case U'"': return Virgoletta;
    case U',': return Virgola;
    case U'\r': return CarRitorno;
    case U'\n': return ACapo;
    default: return -1;
    }
}

// The field reader as a state machine over a stream of units (bytes or code points). It does not
// produce the text: it counts the fields and the delimiters it consumes, which is all that the
// text's length and counts need, since every other unit passes to the text unchanged.
template <class Unita>
class MacchinaCampi {
public:
    template <class FineCampo>
    void avanza(const Unita* p, const Unita* fine, FineCampo&& fineCampo);

    [[nodiscard]] std::uint64_t campi() const { return m_campi; }
    [[nodiscard]] std::uint64_t consumati(int speciale) const { return m_consumati[speciale]; }
    [[nodiscard]] std::uint64_t totaleConsumati() const
    {
        std::uint64_t somma = 0;
        for (const auto n : m_consumati)
            somma += n;
        return somma;
    }
    // CR LF pairs that join the fields of the text.
    [[nodiscard]] std::uint64_t giunture() const { return m_campi > 0 ? m_campi - 1 : 0; }

private:
    enum class Stato : std::uint8_t { Inizio, Spazi, Libero, Virgolette, DopoCR };

    // Ends the field at a delimiter that stands outside quotes; returns false for an ordinary unit.
    bool chiudeCampo(Unita u)
    {
        switch (u) {
        case ',': ++m_consumati[Virgola]; m_stato = Stato::Inizio; return true;
        case '\r': ++m_consumati[CarRitorno]; m_stato = Stato::DopoCR; return true;
        case '\n': ++m_consumati[ACapo]; m_stato = Stato::Inizio; return true;
        default: return false;
        }
    }

    Stato m_stato = Stato::Inizio;
    std::uint64_t m_campi = 0;
    std::array<std::uint64_t, NumeroSpeciali> m_consumati{};
};

template <class Unita>
template <class FineCampo>
void MacchinaCampi<Unita>::avanza(const Unita* p, const Unita* fine, FineCampo&& fineCampo)
{
    while (p < fine) {
        switch (m_stato) {
        case Stato::DopoCR:
            if (*p == '\n') {
                ++m_consumati[ACapo];
                ++p;
            }
            m_stato = Stato::Inizio;
            break;
        case Stato::Inizio:
            ++m_campi;
            m_stato = Stato::Spazi;
            [[fallthrough]];
        case Stato::Spazi:
            while (p < fine && *p == ' ') {
                ++m_consumati[Spazio];
                ++p;
            }
            if (p == fine)
                return;
            if (*p == '"') {
                ++m_consumati[Virgoletta];
                m_stato = Stato::Virgolette;
            } else if (!chiudeCampo(*p)) {
                m_stato = Stato::Libero;
            }
            ++p;
            break;
        case Stato::Libero:
            p = fineCampo(p, fine);
            if (p == fine)
                return;
            chiudeCampo(*p);
            ++p;
            break;
        case Stato::Virgolette:
            if constexpr (sizeof(Unita) == 1) {
                const void* trovata = std::memchr(p, '"', static_cast<std::size_t>(fine - p));
                p = trovata ? static_cast<const Unita*>(trovata) : fine;
            } else {
                p = std::find(p, fine, Unita('"'));
            }
            if (p == fine)
                return;
            ++m_consumati[Virgoletta];
            m_stato = Stato::Libero;
            ++p;
            break;
        }
    }
}

// Turns a stream of bytes, given in pieces of any size, into the counts and the length of the
// text that LeggiTesto would build from the same bytes. Memory stays constant whatever the size.
class Analizzatore {
public:
    Analizzatore(const Criterio& criterio, Percorso percorso);

    void consuma(std::span<const std::uint8_t> byte);
    [[nodiscard]] Analisi concludi();

private:
    enum class Fase { Inizio, Byte, Utf16 };

    void decidiCodifica();
    void consumaByte(const std::uint8_t* p, const std::uint8_t* fine);
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
    std::vector<std::pair<char32_t, std::uint64_t>> m_nonAscii;  // symbols above U+007F, as UTF-8

    // UTF-16 files: decoded to code points, then counted one by one.
    bool m_grandeFinale = false;
    int m_byteSospeso = -1;
    char32_t m_surrogatoAlto = 0;
    std::uint64_t m_caratteri = 0;
    std::array<std::uint64_t, NumeroSlot> m_contiCaratteri{};
    MacchinaCampi<char32_t> m_macchinaCaratteri;
    std::vector<char32_t> m_decodificati;
};

}  // namespace dettaglio
}  // namespace varnel
