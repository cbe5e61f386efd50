// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The field machine over blocks of 64 bytes (see Blocchi64.h for the layer B): a block's special
// bytes are one mask each, and every whole block, quoted stretches included, is taken by mask
// arithmetic; the machine itself takes only the partial block at a slice's end.

#include "MacchinaCampi.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

namespace varnel::dettaglio::blocchi64 {

// Inlined always: where B::Vettore is a pair of registers, a call would take it and the masks
// through memory, once per block.
template <class B>
[[gnu::always_inline]] inline MaschereBlocco Maschere(const typename B::Vettore& v)
{
    return {B::Uguali(v, B::Ripeti(' ')), B::Uguali(v, B::Ripeti('"')), B::Uguali(v, B::Ripeti(',')),
            B::Uguali(v, B::Ripeti('\r')), B::Uguali(v, B::Ripeti('\n'))};
}

// What carries from block to block, small enough to stay in registers. Everything here depends
// on B, so that no function is compiled both with and without AVX-512 under one name.
template <class B>
struct Corsa {
    std::uint64_t spaziAperti = 0;
    std::uint64_t apreCampo = 0;  // 1 when a field starts at the next block's first byte...
    std::uint64_t dopoCR = 0;     // ...or after a CR, unless an LF comes first
    std::uint64_t dentro = 0;     // 1 when the next block starts inside quotes
    bool inPari = true;           // whether the machine's state is the one before the current block
    std::uint64_t campi = 0, spazi = 0, virgolette = 0;
    std::array<std::uint64_t, 3> chiusure{};

    void leggi(const MacchinaCampi<std::uint8_t>& macchina)
    {
        spaziAperti = macchina.spaziAperti();
        dentro = macchina.traVirgolette();
        const std::uint8_t prima = macchina.bytePrima();
        apreCampo = prima == ',';
        dopoCR = prima == '\r';
        inPari = true;
    }
};

// The quoted stretches of a block.
struct Virgolettato {
    std::uint64_t interni;  // the bytes between an opening quote and its closing one
    std::uint64_t aperte, chiuse;
};

// From the block's quotes, those that stand where a field's first non-blank byte would stand if
// every delimiter counted (`apre`), and `dentro`, 1 when the block starts inside quotes. Each
// stretch ends at the very next quote, so a sum whose carry runs from the byte after an opening
// quote to that quote finds them all at once. A delimiter inside a stretch makes its closing quote
// look like an opening one ("a," or "a, " or "a\r"); the lowest such quote is dropped and the sum
// taken again, once per such stretch. The second sum is always taken, changing nothing where
// the first found no such quote: in text of quoted fields a third of the blocks need it, and a
// branch there would be mispredicted.
template <class B>
Virgolettato Virgolettati(std::uint64_t virgolette, std::uint64_t apre, std::uint64_t dentro)
{
    const std::uint64_t altri = ~virgolette;
    for (int giro = 0;; ++giro) {
        const std::uint64_t semi = ((apre << 1) | dentro) & altri;
        const std::uint64_t interni = ((altri + semi) ^ altri) & altri;
        const std::uint64_t chiude = (((interni | apre) << 1) | dentro) & virgolette;
        const std::uint64_t finte = chiude & apre;
        if (giro > 0 && finte == 0) [[likely]]
            return {interni, apre, chiude};
        apre ^= finte & (0 - finte);
    }
}

// Takes back what BloccoIntero counted inside the quoted stretches of a block (an opening quote can
// start a field; no quote is a delimiter), and counts the quotes.
template <class B>
void TogliVirgolettato(Corsa<B>& c, const MaschereBlocco& m, const Virgolettato& v, std::uint64_t inizi,
                       std::uint64_t corse)
{
    const std::uint64_t interni = v.interni;
    c.campi -= static_cast<std::uint64_t>(std::popcount(inizi & (interni | v.chiuse)));
    c.spazi -= static_cast<std::uint64_t>(std::popcount(corse & interni));
    c.virgolette += static_cast<std::uint64_t>(std::popcount(v.aperte | v.chiuse));
    c.chiusure[0] -= static_cast<std::uint64_t>(std::popcount(m.virgole & interni));
    c.chiusure[1] -= static_cast<std::uint64_t>(std::popcount(m.ritorni & interni));
    c.chiusure[2] -= static_cast<std::uint64_t>(std::popcount(m.acapo & interni));
    const std::uint64_t ultimo = interni >> 63;
    c.apreCampo &= ~ultimo;
    c.dopoCR &= ~ultimo;
    c.spaziAperti &= ~ultimo;
    c.dentro = (interni | v.aperte) >> 63;
}

// A whole block, quoted stretches included. The block is first counted as if no quote opened a
// stretch, the common case; a block where one does, or that starts inside one, is then mended.
// Only what its first byte continues waits for the block before, a few operations that the
// blocks' other work hides. Its commas, CRs and LFs are counted by the caller, and taken back
// here where quoted.
template <class B>
void BloccoIntero(Corsa<B>& c, const MaschereBlocco& m)
{
    const std::uint64_t chiusure = m.virgole | m.acapo;
    const std::uint64_t inizio = c.apreCampo | (c.dopoCR & ~m.acapo);
    const std::uint64_t inizi = (chiusure << 1) | ((m.ritorni << 1) & ~m.acapo) | inizio;
    // A field's blanks, also those still open from the block before: the carry of the sum runs
    // along each such run.
    const std::uint64_t primi = inizi | c.spaziAperti;
    const std::uint64_t corse = m.spazi & ~(m.spazi + (primi & m.spazi));
    // A quote opens a quoted field only where the field's first non-blank byte stands.
    const std::uint64_t aperture = m.virgolette & (primi | (corse << 1));
    const std::uint64_t dentro = c.dentro;
    c.campi += static_cast<std::uint64_t>(std::popcount(inizi));
    c.spazi += static_cast<std::uint64_t>(std::popcount(corse));
    c.apreCampo = chiusure >> 63;
    c.dopoCR = m.ritorni >> 63;
    c.spaziAperti = corse >> 63;
    c.dentro = 0;
    if ((aperture | dentro) != 0) [[unlikely]]
        TogliVirgolettato(c, m, Virgolettati<B>(m.virgolette, aperture, dentro), inizi, corse);
    c.inPari = false;
}

// The sum of the 64 bytes of v, a bit plane at a time.
template <class B>
std::uint64_t SommaByte(typename B::Vettore v)
{
    std::uint64_t somma = 0;
    for (int k = 0; k < 8; ++k) {
        const auto piano = B::Prova(v, B::Ripeti(static_cast<std::uint8_t>(1u << k)));
        somma += static_cast<std::uint64_t>(std::popcount(piano)) << k;
    }
    return somma;
}

// The machine takes the last, partial block of a slice, from the state that the whole blocks
// before it left; `prima` is the byte before the block.
template <class B>
void BloccoLento(MacchinaCampi<std::uint8_t>& macchina, Corsa<B>& c, const MaschereBlocco& m, unsigned n,
                 std::uint8_t prima)
{
    if (!c.inPari)
        macchina.riprendiDopo(prima, c.spaziAperti, c.dentro != 0);
    macchina.avanzaMaschere(m, n);
    c.leggi(macchina);
}

template <class B>
void Campi(const std::uint8_t* p, std::size_t n, MacchinaCampi<std::uint8_t>& macchina)
{
    Corsa<B> c;
    c.leggi(macchina);
    std::size_t i = 0;
    while (n - i >= 64) {
        // Byte counters of the delimiters, which a popcount per block would make the loop's
        // bottleneck; 255 blocks fill them.
        const std::size_t fine = i + std::min<std::size_t>((n - i) / 64, 255) * 64;
        typename B::Vettore virgole = B::Zero(), ritorni = B::Zero(), acapo = B::Zero();
        for (; i < fine; i += 64) {
            const typename B::Vettore v = B::Carica(p + i);
            virgole = B::ContaUguali(virgole, v, B::Ripeti(','));
            ritorni = B::ContaUguali(ritorni, v, B::Ripeti('\r'));
            acapo = B::ContaUguali(acapo, v, B::Ripeti('\n'));
            BloccoIntero<B>(c, Maschere<B>(v));
        }
        c.chiusure[0] += SommaByte<B>(virgole);
        c.chiusure[1] += SommaByte<B>(ritorni);
        c.chiusure[2] += SommaByte<B>(acapo);
    }
    if (i < n) {
        // The zero bytes past the end match no special byte.
        BloccoLento<B>(macchina, c, Maschere<B>(B::CaricaParte(p + i, n - i)), static_cast<unsigned>(n - i),
                       i > 0 ? p[i - 1] : 0);
    } else if (!c.inPari) {
        macchina.riprendiDopo(p[i - 1], c.spaziAperti, c.dentro != 0);
    }
    macchina.aggiungiBlocchi(c.campi, c.spazi, c.chiusure, c.virgolette);
}

}  // namespace varnel::dettaglio::blocchi64
