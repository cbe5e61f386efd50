// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The UTF-8 block check, the search for bytes above ASCII and the counting of the encodings of
// symbols above ASCII, over blocks of 64 bytes (see Blocchi64.h for the layer B).

#include "Famiglie.h"
#include "TabelleUtf8.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace varnel::dettaglio::blocchi64 {

// For the layers that take predecessors with one two-table permute of the block before and the
// block: each byte's K-th predecessor.
template <int K>
inline constexpr std::array<std::uint8_t, 64> IndiciPrecedenti = [] {
    std::array<std::uint8_t, 64> indici{};
    for (int i = 0; i < 64; ++i)
        indici[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i + 64 - K);
    return indici;
}();

// Saturating subtraction of these leaves non-zero bytes only where a sequence opens that the
// block does not finish.
inline constexpr std::array<std::uint8_t, 64> MassimiFinali = [] {
    std::array<std::uint8_t, 64> massimi{};
    massimi.fill(0xFF);
    massimi[61] = utf8::SogliaTerzultimo;
    massimi[62] = utf8::SogliaPenultimo;
    massimi[63] = utf8::SogliaUltimo;
    return massimi;
}();

template <class B>
struct StatoUtf8 {
    typename B::Vettore prima;  // the bytes before the first hold no open sequence: as ASCII
    typename B::Vettore errore;
    typename B::Vettore aperto;
    std::uint64_t seguiti;
    std::uint64_t lunghePrima;  // bytes from E0 up among the last three of `prima`
};

template <class B>
typename B::Vettore ErroriUtf8(typename B::Vettore v, typename B::Vettore prima)
{
    const auto prec1 = B::template Precedenti<1>(prima, v);
    const auto alto1 = B::Cerca16(B::Tabella16(utf8::PrimaAlto), B::NibbleAlti(prec1));
    const auto basso1 = B::Cerca16(B::Tabella16(utf8::PrimaBasso), B::NibbleBassi(prec1));
    const auto alto2 = B::Cerca16(B::Tabella16(utf8::QuestoAlto), B::NibbleAlti(v));
    const auto casi = B::E(B::E(alto1, basso1), alto2);
    // The third byte of a three-byte sequence and the third and fourth of a four-byte one must be
    // continuations: there, and only there, DueSeguiti is expected.
    const auto terzo = B::MenoSaturato(B::template Precedenti<2>(prima, v), B::Ripeti(0xE0 - 0x80));
    const auto quarto = B::MenoSaturato(B::template Precedenti<3>(prima, v), B::Ripeti(0xF0 - 0x80));
    const auto attesi = B::E(B::Oppure(terzo, quarto), B::Ripeti(0x80));
    return B::Xor(attesi, casi);
}

template <class B>
std::uint64_t Continuazioni(typename B::Vettore v)
{
    return static_cast<std::uint64_t>(std::popcount(B::Uguali(B::E(v, B::Ripeti(0xC0)), B::Ripeti(0x80))));
}

template <class B>
void BloccoUtf8(StatoUtf8<B>& s, typename B::Vettore v)
{
    s.errore = B::Oppure(s.errore, ErroriUtf8<B>(v, s.prima));
    s.seguiti += Continuazioni<B>(v);
    s.aperto = B::MenoSaturato(v, B::Tabella(MassimiFinali));
    s.prima = v;
}

// Blocks whose sequences, and those that the block before opens, are all of two bytes (the
// accented letters of European text) take two lookups instead of the full check: C0 and C1 never
// stand in UTF-8, and a continuation stands exactly after each byte from C2 to DF.
template <class B>
void BlocchiDueByte(StatoUtf8<B>& s, const typename B::Vettore (&v)[4])
{
    auto nibblePrima = B::NibbleAlti(s.prima);
    for (const auto& blocco : v) {
        const auto nibble = B::NibbleAlti(blocco);
        const auto attesi = B::Cerca16(B::Tabella16(utf8::GuidaDue), B::template Precedenti<1>(nibblePrima, nibble));
        const auto seguiti = B::Cerca16(B::Tabella16(utf8::Seguito), nibble);
        const auto vietati = B::MenoSaturato(B::Ripeti(1), B::Xor(B::E(blocco, B::Ripeti(0xFE)), B::Ripeti(0xC0)));
        s.errore = B::Oppure(s.errore, B::Oppure(B::Xor(attesi, seguiti), vietati));
        s.seguiti += static_cast<std::uint64_t>(std::popcount(B::Alti(seguiti)));
        nibblePrima = nibble;
    }
    s.prima = v[3];
    s.aperto = B::MenoSaturato(v[3], B::Tabella(MassimiFinali));
}

// Four blocks at a time, skipped when all ASCII: whether they are can then be foreseen both in
// plain ASCII and in text with an accent every line or so; and so can whether a byte from E0 up
// stands among them or just before.
template <class B>
const std::uint8_t* BlocchiUtf8(const std::uint8_t* q, const std::uint8_t* fine, StatoUtf8<B>& s)
{
    const auto lunga = B::Ripeti(0xE0 - 0x80);  // leaves bit 7 from E0 up
    for (; fine - q >= 256; q += 256) {
        const typename B::Vettore v[4] = {B::Carica(q), B::Carica(q + 64), B::Carica(q + 128), B::Carica(q + 192)};
        const auto massimo = B::Massimo(B::Massimo(v[0], v[1]), B::Massimo(v[2], v[3]));
        if (B::Alti(massimo) == 0) {
            // A sequence left open before them stays unfinished; `prima` may stay as it is, since
            // it closes every sequence of its own.
            s.errore = B::Oppure(s.errore, s.aperto);
            continue;
        }
        if ((B::Alti(B::MenoSaturato(massimo, lunga)) | s.lunghePrima) == 0) {
            BlocchiDueByte<B>(s, v);
            continue;
        }
        for (const auto& blocco : v)
            BloccoUtf8<B>(s, blocco);
        s.lunghePrima = B::Alti(B::MenoSaturato(v[3], lunga)) >> 61;
    }
    for (; fine - q >= 64; q += 64) {
        const auto v = B::Carica(q);
        if (B::Alti(v) == 0)
            s.errore = B::Oppure(s.errore, s.aperto);
        else
            BloccoUtf8<B>(s, v);
    }
    return q;
}

template <class B>
const std::uint8_t* ValidaUtf8(const std::uint8_t* p, const std::uint8_t* fine, std::uint64_t& continuazioni)
{
    StatoUtf8<B> s{B::Zero(), B::Zero(), B::Zero(), 0, 0};
    const std::uint8_t* q = BlocchiUtf8<B>(p, fine, s);
    if (B::Prova(s.errore, s.errore) != 0)
        return nullptr;
    // Hand the sequence still open at q back to the byte-at-a-time check, with its continuations.
    const std::uint8_t* aperta = InizioApertaScalare(p, q);
    continuazioni += s.seguiti - static_cast<std::uint64_t>(aperta < q ? q - aperta - 1 : 0);
    return aperta;
}

// Counts the encodings whose last byte is one of the n (at most 64) at q, whose three bytes
// before are readable.
template <class B>
void SequenzeInBlocco(const std::uint8_t* q, std::size_t n, const Sequenze& sequenze, ContiGrezzi& conti)
{
    typename B::Vettore indietro[4];
    for (std::size_t d = 0; d < 4; ++d)
        indietro[d] = n + d >= 64 ? B::Carica(q - d) : B::CaricaParte(q - d, n + d);
    for (std::size_t s = 0; s < sequenze.numero; ++s) {
        std::uint64_t uguali = B::Uguali(indietro[0], B::Ripeti(sequenze.indietro[s][0]));
        for (std::size_t d = 1; d < sequenze.lunghezza[s]; ++d)
            uguali = B::UgualiDove(uguali, indietro[d], B::Ripeti(sequenze.indietro[s][d]));
        conti.perBersaglio[s] += static_cast<std::uint64_t>(std::popcount(uguali));
    }
}

// The same over the whole blocks from q to fine, the three bytes before q readable: one encoding at
// a time, so that its byte vectors and its count stay in registers.
template <class B>
void SequenzeInBlocchi(const std::uint8_t* q, const std::uint8_t* fine, const Sequenze& sequenze, ContiGrezzi& conti)
{
    for (std::size_t s = 0; s < sequenze.numero; ++s) {
        typename B::Vettore byte[4];
        for (std::size_t d = 0; d < sequenze.lunghezza[s]; ++d)
            byte[d] = B::Ripeti(sequenze.indietro[s][d]);
        const std::size_t lunghezza = sequenze.lunghezza[s];
        std::uint64_t conto = 0;
        for (const std::uint8_t* r = q; fine - r >= 64;) {
            const std::size_t blocchi = std::min(static_cast<std::size_t>(fine - r) / 64, B::BlocchiPerConteggio);
            typename B::Conteggio parziale{};
            for (const std::uint8_t* fino = r + 64 * blocchi; r < fino; r += 64) {
                auto uguali = B::Coincidono(B::Carica(r), byte[0]);
                for (std::size_t d = 1; d < lunghezza; ++d)
                    uguali = B::CoincidonoAncora(uguali, B::Carica(r - d), byte[d]);
                parziale = B::Accumula(parziale, uguali);
            }
            conto += B::Totale(parziale);
        }
        conti.perBersaglio[s] += conto;
    }
}

template <class B>
void ContaSequenze(const std::uint8_t* p, std::size_t n, const Contesto& prima, const Sequenze& sequenze,
                   ContiGrezzi& conti)
{
    // The first block along with the bytes before the slice; zero bytes past the end end no encoding.
    std::uint8_t bordo[3 + 64] = {prima[2], prima[1], prima[0]};
    const std::size_t primi = std::min<std::size_t>(n, 64);
    std::memcpy(bordo + 3, p, primi);
    SequenzeInBlocco<B>(bordo + 3, 64, sequenze, conti);
    // Every block, ASCII or not: in text with accents a test per block would be mispredicted often.
    const std::size_t interi = primi + (n - primi) / 64 * 64;
    SequenzeInBlocchi<B>(p + primi, p + interi, sequenze, conti);
    if (interi < n)
        SequenzeInBlocco<B>(p + interi, n - interi, sequenze, conti);
}

}  // namespace varnel::dettaglio::blocchi64
