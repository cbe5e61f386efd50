// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The field reader as a state machine that counts instead of building the text, with the block
// steps that the vector kernels take.

#include "Simboli.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <iterator>

namespace varnel::dettaglio {

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

// Where the field reader's special bytes stand in a block of up to 64 bytes: bit i for byte i.
struct MaschereBlocco {
    std::uint64_t spazi = 0;
    std::uint64_t virgolette = 0;
    std::uint64_t virgole = 0;
    std::uint64_t ritorni = 0;
    std::uint64_t acapo = 0;
};

// The field reader as a state machine over a stream of units (bytes or code points). It does not
// produce the text: it counts the fields and the delimiters it consumes, which is all that the
// text's length and counts need, since every other unit passes to the text unchanged.
// Where the field reader stands between two units; the state is all that its future depends on.
enum class StatoCampi : std::uint8_t { Inizio, Spazi, Libero, Virgolette, DopoCR };
inline constexpr StatoCampi StatiCampi[] = {StatoCampi::Inizio, StatoCampi::Spazi, StatoCampi::Libero,
                                            StatoCampi::Virgolette, StatoCampi::DopoCR};
inline constexpr std::size_t NumeroStatiCampi = std::size(StatiCampi);

template <class Unita>
class MacchinaCampi {
public:
    using Stato = StatoCampi;

    MacchinaCampi() = default;
    explicit MacchinaCampi(Stato inizio)
        : m_stato(inizio)
    {
    }
    [[nodiscard]] Stato stato() const { return m_stato; }

    // Goes on from here over the units that `seguito` read, from this machine's state.
    void accoda(const MacchinaCampi& seguito)
    {
        m_campi += seguito.m_campi;
        for (std::size_t i = 0; i < m_consumati.size(); ++i)
            m_consumati[i] += seguito.m_consumati[i];
        m_stato = seguito.m_stato;
    }
    // Adds what another machine found between two of its moments, `prima` and `dopo`, and takes
    // its state: for a machine that met it in the same state at `prima`.
    void prosegui(const MacchinaCampi& prima, const MacchinaCampi& dopo)
    {
        m_campi += dopo.m_campi - prima.m_campi;
        for (std::size_t i = 0; i < m_consumati.size(); ++i)
            m_consumati[i] += dopo.m_consumati[i] - prima.m_consumati[i];
        m_stato = dopo.m_stato;
    }

    template <class FineCampo>
    void avanza(const Unita* p, const Unita* fine, FineCampo&& fineCampo);

    // The same over a block of n units (1 to 64) given by its masks, a whole stretch between quotes
    // at a time instead of a unit or a field at a time.
    void avanzaMaschere(const MaschereBlocco& m, unsigned n);
    // For a kernel that takes whole blocks by mask arithmetic: the byte that stands for the state
    // before the first of them, and what carries between them.
    [[nodiscard]] std::uint8_t bytePrima() const
    {
        return m_stato == Stato::Inizio ? ',' : m_stato == Stato::DopoCR ? '\r' : 0;
    }
    [[nodiscard]] std::uint64_t spaziAperti() const { return m_stato == Stato::Spazi; }
    [[nodiscard]] bool traVirgolette() const { return m_stato == Stato::Virgolette; }
    // After such blocks: the state that their last byte leaves, and what they found, the commas,
    // CRs, LFs and quotes all consumed.
    void riprendiDopo(std::uint8_t ultimo, std::uint64_t spaziAperti, bool traVirgolette)
    {
        m_stato = traVirgolette                       ? Stato::Virgolette
                  : (ultimo == ',' || ultimo == '\n') ? Stato::Inizio
                  : ultimo == '\r'                    ? Stato::DopoCR
                  : spaziAperti != 0                  ? Stato::Spazi
                                                      : Stato::Libero;
    }
    void aggiungiBlocchi(std::uint64_t campi, std::uint64_t spazi, const std::array<std::uint64_t, 3>& chiusure,
                         std::uint64_t virgolette)
    {
        m_campi += campi;
        m_consumati[Spazio] += spazi;
        m_consumati[Virgoletta] += virgolette;
        m_consumati[Virgola] += chiusure[0];
        m_consumati[CarRitorno] += chiusure[1];
        m_consumati[ACapo] += chiusure[2];
    }

    [[nodiscard]] std::uint64_t consumati(int speciale) const
    {
        return m_consumati[static_cast<std::size_t>(speciale)];
    }
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
    // Ends the field at a delimiter that stands outside quotes; returns false for an ordinary unit.
    bool chiudeCampo(Unita u)
    {
        switch (u) {
        case ',':
            ++m_consumati[Virgola];
            m_stato = Stato::Inizio;
            return true;
        case '\r':
            ++m_consumati[CarRitorno];
            m_stato = Stato::DopoCR;
            return true;
        case '\n':
            ++m_consumati[ACapo];
            m_stato = Stato::Inizio;
            return true;
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

template <class Unita>
void MacchinaCampi<Unita>::avanzaMaschere(const MaschereBlocco& m, unsigned n)
{
    const std::uint64_t validi = n == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << n) - 1;
    const std::uint64_t chiusure = m.virgole | m.acapo;
    // A field starts after a comma or an LF, and after a CR that no LF follows.
    const std::uint64_t dopoDelimitatore = (chiusure << 1) | ((m.ritorni << 1) & ~m.acapo);
    unsigned da = 0;  // first byte not yet read
    while (da < n) {
        const std::uint64_t resto = validi & (~std::uint64_t{0} << da);
        if (m_stato == Stato::Virgolette) {
            const std::uint64_t chiusa = m.virgolette & resto;
            if (chiusa == 0)
                return;
            ++m_consumati[Virgoletta];
            m_stato = Stato::Libero;
            da = static_cast<unsigned>(std::countr_zero(chiusa)) + 1;
            continue;
        }
        const std::uint64_t primo = std::uint64_t{1} << da;
        std::uint64_t inizi = dopoDelimitatore & resto;
        if (m_stato == Stato::Inizio || (m_stato == Stato::DopoCR && (m.acapo & primo) == 0))
            inizi |= primo;
        // Blanks are consumed in the run that begins at a field's start; the carry of the sum runs
        // along each such run, and a run still open from the previous block goes on from `primo`.
        const std::uint64_t semi = inizi | (m_stato == Stato::Spazi ? primo : 0);
        const std::uint64_t corse = ((m.spazi + (semi & m.spazi)) ^ m.spazi) & m.spazi;
        // A quote opens a quoted field only where the field's first non-blank byte stands.
        const std::uint64_t primiPieni = (semi | (corse << 1)) & ~m.spazi & resto;
        const std::uint64_t apertura = m.virgolette & primiPieni;
        const std::uint64_t finoApertura = resto & (apertura != 0 ? apertura ^ (apertura - 1) : ~std::uint64_t{0});
        m_campi += static_cast<std::uint64_t>(std::popcount(inizi & finoApertura));
        m_consumati[Spazio] += static_cast<std::uint64_t>(std::popcount(corse & finoApertura));
        m_consumati[Virgola] += static_cast<std::uint64_t>(std::popcount(m.virgole & finoApertura));
        m_consumati[CarRitorno] += static_cast<std::uint64_t>(std::popcount(m.ritorni & finoApertura));
        m_consumati[ACapo] += static_cast<std::uint64_t>(std::popcount(m.acapo & finoApertura));
        if (apertura != 0) {
            ++m_consumati[Virgoletta];
            m_stato = Stato::Virgolette;
            da = static_cast<unsigned>(std::countr_zero(apertura)) + 1;
            continue;
        }
        const std::uint64_t ultimo = std::uint64_t{1} << (n - 1);
        if ((chiusure & ultimo) != 0)
            m_stato = Stato::Inizio;
        else if ((m.ritorni & ultimo) != 0)
            m_stato = Stato::DopoCR;
        else if ((corse & ultimo) != 0)
            m_stato = Stato::Spazi;
        else
            m_stato = Stato::Libero;
        return;
    }
}

// How many times a symbol reaches the text, from how many times it stands in the file: a special
// character that the reader consumed does not, and each CR LF join adds a CR and an LF.
template <class Unita>
[[nodiscard]] std::uint64_t Emessi(char32_t simbolo, std::uint64_t grezzi, const MacchinaCampi<Unita>& macchina)
{
    const int speciale = IndiceSpeciale(simbolo);
    if (speciale < 0)
        return grezzi;
    const std::uint64_t giunture = (simbolo == U'\r' || simbolo == U'\n') ? macchina.giunture() : 0;
    return grezzi - macchina.consumati(speciale) + giunture;
}

}  // namespace varnel::dettaglio
