// SPDX-License-Identifier: GPL-3.0-or-later
#include "Codifica.h"
#include "Motore.h"
#include "Tratto.h"

#include <algorithm>
#include <thread>

namespace varnel {

namespace dettaglio {

namespace {

// Smaller files are read in order: workers would cost more than they save.
constexpr std::uint64_t SogliaTratti = 8 << 20;
constexpr unsigned MassimoLavoratori = 8;  // beyond this the memory bus, not the cores, is the limit
constexpr std::uint64_t TrattoMinimo = 4 << 20;
constexpr std::uint64_t TrattoMassimo = 64 << 20;
// Ranges of a file at most, so that what they give stays small even for a file that reports an
// enormous size (/proc/kcore does); beyond it the ranges grow.
constexpr std::uint64_t MassimoTratti = 1024;

std::uint64_t LunghezzaTratto(std::uint64_t dimensione, unsigned lavoratori, std::uint64_t chiesta)
{
    if (chiesta > 0)
        return std::max<std::uint64_t>(chiesta, BomUtf8.size());
    // Several ranges a worker, so that one that finishes early takes another; whole 64 KiB.
    const std::uint64_t tratto = std::clamp<std::uint64_t>(dimensione / (4 * lavoratori), TrattoMinimo, TrattoMassimo);
    return std::max(tratto, dimensione / MassimoTratti + 1) & ~std::uint64_t{0xFFFF};
}

}  // namespace

unsigned Lavoratori(unsigned chiesti)
{
    if (chiesti > 0)
        return chiesti;
    return std::clamp(std::thread::hardware_concurrency(), 1u, MassimoLavoratori);
}

PianoTratti Pianifica(std::uint64_t dimensione, std::string_view iniziali, const Opzioni& opzioni)
{
    PianoTratti piano{.dimensione = dimensione};
    // A UTF-16 file is decoded only by a reading in order.
    if (dimensione < (opzioni.lunghezzaTratto > 0 ? 1 : SogliaTratti) || CodificaUtf16(iniziali))
        return piano;
    piano.bom = InizioUtf8Bom(iniziali);
    piano.inizio = piano.bom ? BomUtf8.size() : 0;
    piano.lunghezza = LunghezzaTratto(dimensione, Lavoratori(opzioni.lavoratori), opzioni.lunghezzaTratto);
    piano.tratti = static_cast<std::size_t>((dimensione - piano.inizio + piano.lunghezza - 1) / piano.lunghezza);
    return piano;
}

std::vector<StatoCampi> IniziDelTratto(const PianoTratti& piano, std::size_t i)
{
    if (i == 0)
        return StatiIniziali(piano.bom);
    return {std::begin(StatiCampi), std::end(StatiCampi)};
}

}  // namespace dettaglio

PianoTratti PianificaTratti(std::uint64_t dimensione, std::string_view iniziali, unsigned lavoratori)
{
    return dettaglio::Pianifica(dimensione, iniziali, dettaglio::Opzioni{.lavoratori = std::max(lavoratori, 1u)});
}

}  // namespace varnel
