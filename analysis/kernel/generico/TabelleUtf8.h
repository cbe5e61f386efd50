// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The tables of the UTF-8 block check (Keiser and Lemire's lookup method): three lookups on the
// nibbles of each byte and of the one before it flag every invalid pair, and the bytes two and
// three places back say where a continuation byte must stand.

#include <array>
#include <cstdint>

namespace varnel::dettaglio::utf8 {

inline constexpr std::uint8_t Corto = 1 << 0;       // a lead byte not followed by a continuation
inline constexpr std::uint8_t Lungo = 1 << 1;       // an ASCII byte followed by a continuation
inline constexpr std::uint8_t Lungo3 = 1 << 2;      // E0 followed by 80..9F
inline constexpr std::uint8_t Grande = 1 << 3;      // above U+10FFFF
inline constexpr std::uint8_t Surrogato = 1 << 4;   // ED followed by A0..BF
inline constexpr std::uint8_t Lungo2 = 1 << 5;      // C0 or C1
inline constexpr std::uint8_t Grande1000 = 1 << 6;  // F5..FF followed by 80..8F
inline constexpr std::uint8_t Lungo4 = 1 << 6;      // F0 followed by 80..8F
inline constexpr std::uint8_t DueSeguiti = 1 << 7;  // two continuations in a row
inline constexpr std::uint8_t Riporto = Corto | Lungo | DueSeguiti;

using Tabella = std::array<std::uint8_t, 16>;

// By the high nibble of the byte before.
// clang-format off
inline constexpr Tabella PrimaAlto = {Lungo, Lungo, Lungo, Lungo, Lungo, Lungo, Lungo, Lungo,
                                      DueSeguiti, DueSeguiti, DueSeguiti, DueSeguiti,
                                      Corto | Lungo2, Corto, Corto | Lungo3 | Surrogato,
                                      Corto | Grande | Grande1000 | Lungo4};
// By the low nibble of the byte before.
inline constexpr Tabella PrimaBasso = {
    Riporto | Lungo3 | Lungo2 | Lungo4, Riporto | Lungo2, Riporto, Riporto, Riporto | Grande,
    Riporto | Grande | Grande1000, Riporto | Grande | Grande1000, Riporto | Grande | Grande1000,
    Riporto | Grande | Grande1000, Riporto | Grande | Grande1000, Riporto | Grande | Grande1000,
    Riporto | Grande | Grande1000, Riporto | Grande | Grande1000, Riporto | Grande | Grande1000 | Surrogato,
    Riporto | Grande | Grande1000, Riporto | Grande | Grande1000};
// By the high nibble of the byte itself.
inline constexpr Tabella QuestoAlto = {Corto, Corto, Corto, Corto, Corto, Corto, Corto, Corto,
                                       Lungo | Lungo2 | DueSeguiti | Lungo3 | Grande1000 | Lungo4,
                                       Lungo | Lungo2 | DueSeguiti | Lungo3 | Grande,
                                       Lungo | Lungo2 | DueSeguiti | Surrogato | Grande,
                                       Lungo | Lungo2 | DueSeguiti | Surrogato | Grande,
                                       Corto, Corto, Corto, Corto};
// clang-format on

// For blocks whose sequences are all of two bytes, by the high nibble: the lead bytes (C0 to DF),
// after which a continuation must stand, and the continuations.
inline constexpr Tabella GuidaDue = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x80, 0, 0};
inline constexpr Tabella Seguito = {0, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x80, 0x80, 0x80, 0, 0, 0, 0};

// Subtracted from the last three bytes of a vector with saturation: non-zero where a sequence
// opens that the vector does not finish.
inline constexpr std::uint8_t SogliaUltimo = 0xC0 - 1, SogliaPenultimo = 0xE0 - 1, SogliaTerzultimo = 0xF0 - 1;

}  // namespace varnel::dettaglio::utf8
