// SPDX-License-Identifier: GPL-3.0-or-later
#include "Codifica.h"

#include <array>
#include <utility>

namespace varnel {

namespace {

// Bytes 0x80 to 0x9F of Windows-1252; the five it leaves undefined keep their C1 control code.
constexpr std::array<char32_t, 32> Tabella80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AggiungiUtf16(std::u32string& testo, std::string_view byte, bool grandeFinale)
{
    auto unita = [&](std::size_t i) -> char32_t {
        const auto alto = static_cast<std::uint8_t>(byte[grandeFinale ? i : i + 1]);
        const auto basso = static_cast<std::uint8_t>(byte[grandeFinale ? i + 1 : i]);
        return static_cast<char32_t>((alto << 8) | basso);
    };
    std::size_t i = 0;
    for (; i + 1 < byte.size(); i += 2) {
        const char32_t u = unita(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 3 < byte.size()) {
            const char32_t v = unita(i + 2);
            if (v >= 0xDC00 && v <= 0xDFFF) {
                testo += 0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00);
                i += 2;
                continue;
            }
        }
        testo += (u >= 0xD800 && u <= 0xDFFF) ? CarattereSostitutivo : u;
    }
    if (i < byte.size())
        testo += CarattereSostitutivo;  // an odd byte left at the end
}

}  // namespace

char32_t DaWindows1252(std::uint8_t byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return Tabella80[byte - 0x80];
    return byte;
}

std::optional<std::uint8_t> AWindows1252(char32_t carattere)
{
    if (carattere < 0x80 || (carattere >= 0xA0 && carattere <= 0xFF))
        return static_cast<std::uint8_t>(carattere);
    for (std::size_t i = 0; i < Tabella80.size(); ++i) {
        if (Tabella80[i] == carattere)
            return static_cast<std::uint8_t>(0x80 + i);
    }
    return std::nullopt;
}

bool InizioUtf8Bom(std::string_view byte) { return byte.substr(0, BomUtf8.size()) == BomUtf8; }

std::optional<Codifica> CodificaUtf16(std::string_view inizio)
{
    if (inizio.substr(0, 2) == "\xFF\xFE")
        return Codifica::Utf16LE;
    if (inizio.substr(0, 2) == "\xFE\xFF")
        return Codifica::Utf16BE;
    return std::nullopt;
}

namespace {

// A strict decoder of its own, apart from the streaming validator, so that the two check each other.
std::optional<std::u32string> DaUtf8(std::string_view byte)
{
    std::u32string testo;
    for (std::size_t i = 0; i < byte.size();) {
        const auto b = static_cast<std::uint8_t>(byte[i]);
        int seguito = 0;
        char32_t c = b;
        char32_t minimo = 0;
        if (b >= 0xC2 && b <= 0xDF)
            seguito = 1, c = b & 0x1F, minimo = 0x80;
        else if (b >= 0xE0 && b <= 0xEF)
            seguito = 2, c = b & 0x0F, minimo = 0x800;
        else if (b >= 0xF0 && b <= 0xF4)
            seguito = 3, c = b & 0x07, minimo = 0x10000;
        else if (b >= 0x80)
            return std::nullopt;
        if (i + static_cast<std::size_t>(seguito) >= byte.size() && seguito > 0)
            return std::nullopt;
        for (int k = 1; k <= seguito; ++k) {
            const auto continuazione = static_cast<std::uint8_t>(byte[i + static_cast<std::size_t>(k)]);
            if ((continuazione & 0xC0) != 0x80)
                return std::nullopt;
            c = (c << 6) | (continuazione & 0x3F);
        }
        if (c < minimo || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return std::nullopt;
        testo += c;
        i += static_cast<std::size_t>(seguito) + 1;
    }
    return testo;
}

}  // namespace

Codifica CodificaDi(std::string_view byte)
{
    if (const auto utf16 = CodificaUtf16(byte))
        return *utf16;
    return DaUtf8(InizioUtf8Bom(byte) ? byte.substr(3) : byte) ? Codifica::Utf8 : Codifica::Windows1252;
}

std::u32string Decodifica(std::string_view byte)
{
    std::u32string testo;
    if (const auto utf16 = CodificaUtf16(byte)) {
        AggiungiUtf16(testo, byte.substr(2), *utf16 == Codifica::Utf16BE);
        return testo;
    }
    if (auto utf8 = DaUtf8(InizioUtf8Bom(byte) ? byte.substr(3) : byte))
        return std::move(*utf8);
    testo.reserve(byte.size());
    for (const char b : byte)
        testo += DaWindows1252(static_cast<std::uint8_t>(b));
    return testo;
}

std::optional<std::u32string> DecodificaCome(std::string_view byte, Codifica codifica)
{
    if (codifica == Codifica::Utf8)
        return DaUtf8(byte);
    std::u32string testo;
    if (codifica == Codifica::Windows1252) {
        testo.reserve(byte.size());
        for (const char b : byte)
            testo += DaWindows1252(static_cast<std::uint8_t>(b));
    } else {
        AggiungiUtf16(testo, byte, codifica == Codifica::Utf16BE);
    }
    return testo;
}

}  // namespace varnel
