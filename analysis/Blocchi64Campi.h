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

// What carries from block to block while the common blocks are taken whole. Everything here
// depends on B, so that no function is compiled both with and without AVX-512 under one name.
template <class B>
struct Tratto {
    MacchinaCampi<std::uint8_t> locale;  // a copy whose state the compiler may keep in registers
    std::uint64_t spaziAperti = 0;
    std::uint64_t apreCampo = 0;  // 1 when a field starts at the next block's first byte...
    std::uint64_t dopoCR = 0;     // ...or after a CR, unless an LF comes first
    bool traVirgolette = false;
    bool inPari = true;  // whether the state of `locale` is the one before the current block
    std::uint64_t campi = 0, spazi = 0;
    std::array<std::uint64_t, 3> chiusure{};

    void leggiStato()
    {
        spaziAperti = locale.spaziAperti();
        traVirgolette = locale.traVirgolette();
        const std::uint8_t prima = locale.bytePrima();
        apreCampo = prima == ',';
        dopoCR = prima == '\r';
    }
};

// A whole block outside quotes with no quote that opens a field; false, changing nothing, otherwise.
template <class B>
bool BloccoComune(Tratto<B>& s, const MaschereBlocco& m)
{
    if (s.traVirgolette)
        return false;
    const std::uint64_t chiusure = m.virgole | m.acapo;
    const std::uint64_t inizi = (chiusure << 1) | s.apreCampo | (((m.ritorni << 1) | s.dopoCR) & ~m.acapo);
    if (!BloccoLibero(m.spazi, m.virgolette, inizi, s.spaziAperti, s.campi, s.spazi))
        return false;
    s.chiusure[0] += static_cast<std::uint64_t>(std::popcount(m.virgole));
    s.chiusure[1] += static_cast<std::uint64_t>(std::popcount(m.ritorni));
    s.chiusure[2] += static_cast<std::uint64_t>(std::popcount(m.acapo));
    s.apreCampo = chiusure >> 63;
    s.dopoCR = m.ritorni >> 63;
    s.inPari = false;
    return true;
}

// The machine takes a block, from the state that the common blocks before it left; `prima` is
// the byte before the block.
template <class B>
void BloccoLento(Tratto<B>& s, const MaschereBlocco& m, unsigned n, std::uint8_t prima)
{
    if (!s.inPari)
        s.locale.riprendiDopo(prima, s.spaziAperti);
    // Through a second copy, so that `locale` never needs an address.
    MacchinaCampi<std::uint8_t> lenta = s.locale;
    lenta.avanzaMaschere(m, n);
    s.locale = lenta;
    s.inPari = true;
    s.leggiStato();
}

template <class B>
void Campi(const std::uint8_t* p, std::size_t n, MacchinaCampi<std::uint8_t>& macchina)
{
    Tratto<B> s{macchina};
    s.leggiStato();
    std::size_t i = 0;
    for (; n - i >= 64; i += 64) {
        const MaschereBlocco m = Maschere<B>(B::Carica(p + i));
        if (!BloccoComune<B>(s, m))
            BloccoLento<B>(s, m, 64, i > 0 ? p[i - 1] : 0);
    }
    if (i < n) {
        // The zero bytes past the end match no special byte.
        BloccoLento<B>(s, Maschere<B>(B::CaricaParte(p + i, n - i)), static_cast<unsigned>(n - i), i > 0 ? p[i - 1] : 0);
    } else if (!s.inPari) {
        s.locale.riprendiDopo(p[i - 1], s.spaziAperti);
    }
    s.locale.aggiungiBlocchi(s.campi, s.spazi, s.chiusure);
    macchina = s.locale;
}

}  // namespace varnel::dettaglio::blocchi64
