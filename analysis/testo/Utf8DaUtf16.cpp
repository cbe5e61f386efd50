// SPDX-License-Identifier: GPL-3.0-or-later
#include "Utf8DaUtf16.h"

#include "Codifica.h"

#include <algorithm>
#include <utility>

namespace varnel::dettaglio {

namespace {

constexpr char32_t Sostituto = 0xFFFD;

bool Alto(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
bool Basso(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

// The next character of `testo` and how many units it takes; a lone surrogate gives U+FFFD.
std::pair<char32_t, std::size_t> Carattere(std::u16string_view testo)
{
    const char16_t c = testo[0];
    if (Alto(c) && testo.size() > 1 && Basso(testo[1]))
        return {0x10000 + ((char32_t{c} - 0xD800) << 10) + (char32_t{testo[1]} - 0xDC00), 2};
    if (Alto(c) || Basso(c))
        return {Sostituto, 1};
    return {c, 1};
}

}  // namespace

std::size_t Utf8DaUtf16::Leggi(std::span<std::uint8_t> buffer)
{
    std::uint8_t* scrivi = buffer.data();
    std::uint8_t* const fine = scrivi + buffer.size();
    const char16_t* leggi = m_resto.data();
    const char16_t* const termine = leggi + m_resto.size();
    while (leggi < termine) {
        // ASCII, most of any text, goes straight across.
        const std::size_t quanti = std::min(static_cast<std::size_t>(termine - leggi),
                                            static_cast<std::size_t>(fine - scrivi));
        const char16_t* const limite = leggi + quanti;
        while (leggi < limite && *leggi < 0x80)
            *scrivi++ = static_cast<std::uint8_t>(*leggi++);
        if (leggi == termine)
            break;
        const auto [c, unita] = Carattere({leggi, static_cast<std::size_t>(termine - leggi)});
        const std::size_t lunghezza = LunghezzaUtf8(c);
        if (static_cast<std::size_t>(fine - scrivi) < lunghezza)
            break;
        ScriviUtf8(c, scrivi);
        scrivi += lunghezza;
        leggi += unita;
    }
    m_resto.remove_prefix(static_cast<std::size_t>(leggi - m_resto.data()));
    return static_cast<std::size_t>(scrivi - buffer.data());
}

std::uint64_t Utf8DaUtf16::Lunghezza(std::u16string_view testo)
{
    std::uint64_t totale = 0;
    while (!testo.empty()) {
        const auto [c, unita] = Carattere(testo);
        totale += LunghezzaUtf8(c);
        testo.remove_prefix(unita);
    }
    return totale;
}

}  // namespace varnel::dettaglio
