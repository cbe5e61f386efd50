// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A source of bytes other than a file: UTF-16 text in memory, given out as UTF-8 in slices.

#include <cstdint>
#include <span>
#include <string_view>

namespace varnel::dettaglio {

class Utf8DaUtf16 {
public:
    explicit Utf8DaUtf16(std::u16string_view testo)
        : m_resto(testo)
    {
    }

    // Fills the buffer with the UTF-8 of the next whole characters (a slice never splits one, so
    // the buffer holds at least 4 bytes); 0 at the end.
    [[nodiscard]] std::size_t Leggi(std::span<std::uint8_t> buffer);

    // The number of UTF-8 bytes the whole text gives.
    [[nodiscard]] static std::uint64_t Lunghezza(std::u16string_view testo);

private:
    std::u16string_view m_resto;
};

}  // namespace varnel::dettaglio
