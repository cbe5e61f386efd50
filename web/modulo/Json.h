// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The little JSON that the page reads back from the core: objects of numbers, strings and arrays.

#include "Risultati.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace varnel::web {

class Json {
public:
    Json& chiave(std::string_view nome)
    {
        separa();
        stringa(nome);
        m_testo += ':';
        m_primo = true;
        return *this;
    }
    Json& apri(char c)
    {
        separa();
        m_testo += c;
        m_primo = true;
        return *this;
    }
    Json& chiudi(char c)
    {
        m_testo += c;
        m_primo = false;
        return *this;
    }
    // Never negative here; written as the core writes a percentage, with a point.
    Json& numero(double v)
    {
        separa();
        m_testo += TestoNumero(v, ".");
        return *this;
    }
    Json& intero(std::uint64_t v)
    {
        separa();
        m_testo += std::to_string(v);
        return *this;
    }
    Json& testo(std::string_view v)
    {
        separa();
        stringa(v);
        return *this;
    }
    [[nodiscard]] const std::string& fine() const { return m_testo; }

private:
    void separa()
    {
        if (!m_primo)
            m_testo += ',';
        m_primo = false;
    }
    void stringa(std::string_view v)
    {
        m_testo += '"';
        for (const char c : v) {
            if (c == '"' || c == '\\') {
                m_testo += '\\';
                m_testo += c;
            } else if (static_cast<unsigned char>(c) < 0x20) {
                static constexpr char Cifre[] = "0123456789abcdef";
                m_testo += "\\u00";
                m_testo += Cifre[(c >> 4) & 0xF];
                m_testo += Cifre[c & 0xF];
            } else {
                m_testo += c;
            }
        }
        m_testo += '"';
    }

    std::string m_testo;
    bool m_primo = true;
};

}  // namespace varnel::web
