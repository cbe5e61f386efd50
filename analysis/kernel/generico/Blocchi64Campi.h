// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The field machine over blocks of 64 bytes (see Blocchi64.h for the layer B): a block's special
// bytes are one mask each, and a block with no quote that opens a field is taken whole by
// BloccoLibero; the machine itself takes only the blocks around quotes.

#include "MacchinaCampi.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

namespace varnel::dettaglio::blocchi64 {

template <class B>
MaschereBlocco Maschere(typename B::Vettore v)
{
    return {B::Uguali(v, B::Ripeti(' ')), B::Uguali(v, B::Ripeti('"')), B::Uguali(v, B::Ripeti(',')),
            B::Uguali(v, B::Ripeti('\r')), B::Uguali(v, B::Ripeti('\n'))};
}

// What carries from block to block while the common blocks are taken whole, small enough to stay
// in registers. Everything here depends on B, so that no function is compiled both with and
// without AVX-512 under one name.
template <class B>
struct Corsa {
    std::uint64_t spaziAperti = 0;
    std::uint64_t apreCampo = 0;  // 1 when a field starts at the next block's first byte...
    std::uint64_t dopoCR = 0;     // ...or after a CR, unless an LF comes first
    bool traVirgolette = false;
    bool inPari = true;  // whether the machine's state is the one before the current block
    std::uint64_t campi = 0, spazi = 0;
    std::array<std::uint64_t, 3> chiusure{};

    void leggi(const MacchinaCampi<std::uint8_t>& macchina)
    {
        spaziAperti = macchina.spaziAperti();
        traVirgolette = macchina.traVirgolette();
        const std::uint8_t prima = macchina.bytePrima();
        apreCampo = prima == ',';
        dopoCR = prima == '\r';
        inPari = true;
    }
};

// A whole block outside quotes with no quote that opens a field; false, changing nothing, otherwise.
template <class B>
bool BloccoComune(Corsa<B>& c, const MaschereBlocco& m)
{
    if (c.traVirgolette)
        return false;
    const std::uint64_t chiusure = m.virgole | m.acapo;
    const std::uint64_t inizi = (chiusure << 1) | c.apreCampo | (((m.ritorni << 1) | c.dopoCR) & ~m.acapo);
    if (!BloccoLibero(m.spazi, m.virgolette, inizi, c.spaziAperti, c.campi, c.spazi))
        return false;
    c.chiusure[0] += static_cast<std::uint64_t>(std::popcount(m.virgole));
    c.chiusure[1] += static_cast<std::uint64_t>(std::popcount(m.ritorni));
    c.chiusure[2] += static_cast<std::uint64_t>(std::popcount(m.acapo));
    c.apreCampo = chiusure >> 63;
    c.dopoCR = m.ritorni >> 63;
    c.inPari = false;
    return true;
}

// The machine takes a block, from the state that the common blocks before it left; `prima` is
// the byte before the block. Out of line and by value, so that the loop keeps `Corsa` in registers.
template <class B>
[[gnu::noinline]] Corsa<B> BloccoLento(MacchinaCampi<std::uint8_t>& macchina, Corsa<B> c, const MaschereBlocco& m,
                                       unsigned n, std::uint8_t prima)
{
    if (!c.inPari)
        macchina.riprendiDopo(prima, c.spaziAperti);
    macchina.avanzaMaschere(m, n);
    c.leggi(macchina);
    return c;
}

template <class B>
void Campi(const std::uint8_t* p, std::size_t n, MacchinaCampi<std::uint8_t>& macchina)
{
    Corsa<B> c;
    c.leggi(macchina);
    std::size_t i = 0;
    for (; n - i >= 64; i += 64) {
        const MaschereBlocco m = Maschere<B>(B::Carica(p + i));
        if (!BloccoComune<B>(c, m))
            c = BloccoLento<B>(macchina, c, m, 64, i > 0 ? p[i - 1] : 0);
    }
    if (i < n) {
        // The zero bytes past the end match no special byte.
        c = BloccoLento<B>(macchina, c, Maschere<B>(B::CaricaParte(p + i, n - i)), static_cast<unsigned>(n - i),
                           i > 0 ? p[i - 1] : 0);
    } else if (!c.inPari) {
        macchina.riprendiDopo(p[i - 1], c.spaziAperti);
    }
    macchina.aggiungiBlocchi(c.campi, c.spazi, c.chiusure);
}

}  // namespace varnel::dettaglio::blocchi64
