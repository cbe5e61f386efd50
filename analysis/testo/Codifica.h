// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Analisi.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace varnel {

// The bytes of a code point in UTF-8, and the code point written there: LunghezzaUtf8 bytes.
[[nodiscard]] constexpr std::size_t LunghezzaUtf8(char32_t c)
{
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}
constexpr void ScriviUtf8(char32_t c, std::uint8_t* uscita)
{
    const std::size_t lunghezza = LunghezzaUtf8(c);
    if (lunghezza == 1) {
        uscita[0] = static_cast<std::uint8_t>(c);
        return;
    }
    // Lead byte: as many high bits as bytes, then the top bits of the code point.
    constexpr std::uint8_t Guida[] = {0, 0, 0xC0, 0xE0, 0xF0};
    uscita[0] = static_cast<std::uint8_t>(Guida[lunghezza] | (c >> (6 * (lunghezza - 1))));
    for (std::size_t i = 1; i < lunghezza; ++i)
        uscita[i] = static_cast<std::uint8_t>(0x80 | ((c >> (6 * (lunghezza - 1 - i))) & 0x3F));
}

// The UTF-8 byte-order mark, which a file may start with.
inline constexpr std::string_view BomUtf8 = "\xEF\xBB\xBF";

inline constexpr char32_t CarattereSostitutivo = U'\uFFFD';

[[nodiscard]] char32_t DaWindows1252(std::uint8_t byte);
[[nodiscard]] std::optional<std::uint8_t> AWindows1252(char32_t carattere);

[[nodiscard]] bool InizioUtf8Bom(std::string_view byte);
[[nodiscard]] std::optional<Codifica> CodificaUtf16(std::string_view inizio);

// The code page of a whole file's bytes, and the file decoded: the reference for the streaming reader.
[[nodiscard]] Codifica CodificaDi(std::string_view byte);
[[nodiscard]] std::u32string Decodifica(std::string_view byte);
// Bytes without a byte-order mark decoded in a code page already decided; nothing when they are not
// UTF-8 where UTF-8 was decided.
[[nodiscard]] std::optional<std::u32string> DecodificaCome(std::string_view byte, Codifica codifica);

// Checks UTF-8 a buffer at a time, a sequence may span two buffers. Reports each code point
// above U+007F to the visitor, so the caller can match symbols outside ASCII.
class ValidatoreUtf8 {
public:
    // The first byte from p that is not ASCII, or fine.
    static const std::uint8_t* SaltaAsciiScalare(const std::uint8_t* p, const std::uint8_t* fine)
    {
        // ASCII runs dominate most text: skip them eight bytes at a time.
        while (fine - p >= 8) {
            std::uint64_t parola;
            std::memcpy(&parola, p, 8);
            if (parola & 0x8080808080808080ULL)
                break;
            p += 8;
        }
        while (p < fine && *p < 0x80)
            ++p;
        return p;
    }

    template <class Visitatore>
    void avanza(const std::uint8_t* p, const std::uint8_t* fine, Visitatore&& visita)
    {
        avanza(p, fine, visita, [](const std::uint8_t* da, const std::uint8_t* a) { return SaltaAsciiScalare(da, a); });
    }
    template <class Visitatore, class Salta>
    void avanza(const std::uint8_t* p, const std::uint8_t* fine, Visitatore&& visita, Salta&& salta);

    // As avanza with no visitor, handing the bytes wherever no sequence is open to `blocchi`, which
    // returns where it stopped (nullptr for bytes that are not UTF-8) and adds the continuation
    // bytes it passed.
    template <class Blocchi>
    void avanzaABlocchi(const std::uint8_t* p, const std::uint8_t* fine, Blocchi&& blocchi);

    // For a stretch that the next one goes on: the bytes broke UTF-8, or a sequence is left open.
    [[nodiscard]] bool rotto() const { return !m_valido; }
    [[nodiscard]] bool aperto() const { return m_mancanti > 0; }
    // Bytes 0x80 to 0xBF so far, each inside a sequence; meaningful while not rotto().
    [[nodiscard]] std::uint64_t continuazioni() const { return m_continuazioni; }

private:
    bool m_valido = true;
    int m_mancanti = 0;  // continuation bytes still owed by the open sequence
    char32_t m_corrente = 0;
    char32_t m_minimo = 0;  // smallest code point the open sequence may encode (no overlong forms)
    std::uint64_t m_continuazioni = 0;
};

template <class Visitatore, class Salta>
void ValidatoreUtf8::avanza(const std::uint8_t* p, const std::uint8_t* fine, Visitatore&& visita, Salta&& salta)
{
    if (!m_valido)
        return;
    while (p < fine) {
        if (m_mancanti == 0) {
            p = salta(p, fine);
            if (p == fine)
                return;
            const std::uint8_t b = *p++;
            if (b >= 0xC2 && b <= 0xDF) {
                m_mancanti = 1, m_corrente = b & 0x1F, m_minimo = 0x80;
            } else if (b >= 0xE0 && b <= 0xEF) {
                m_mancanti = 2, m_corrente = b & 0x0F, m_minimo = 0x800;
            } else if (b >= 0xF0 && b <= 0xF4) {
                m_mancanti = 3, m_corrente = b & 0x07, m_minimo = 0x10000;
            } else {
                m_valido = false;
                return;
            }
            continue;
        }
        const std::uint8_t b = *p++;
        if ((b & 0xC0) != 0x80) {
            m_valido = false;
            return;
        }
        ++m_continuazioni;
        m_corrente = (m_corrente << 6) | (b & 0x3F);
        if (--m_mancanti == 0) {
            if (m_corrente < m_minimo || m_corrente > 0x10FFFF || (m_corrente >= 0xD800 && m_corrente <= 0xDFFF)) {
                m_valido = false;
                return;
            }
            visita(m_corrente);
        }
    }
}

template <class Blocchi>
void ValidatoreUtf8::avanzaABlocchi(const std::uint8_t* p, const std::uint8_t* fine, Blocchi&& blocchi)
{
    const auto nessuno = [](char32_t) {};
    // Close the sequence left open by the previous buffer first: the blocks start where none is.
    const std::uint8_t* chiusa = p + std::min<std::ptrdiff_t>(m_mancanti, fine - p);
    avanza(p, chiusa, nessuno);
    if (!m_valido || m_mancanti > 0)
        return;
    const std::uint8_t* fermo = blocchi(chiusa, fine, m_continuazioni);
    if (fermo == nullptr) {
        m_valido = false;
        return;
    }
    avanza(fermo, fine, nessuno);
}

}  // namespace varnel
