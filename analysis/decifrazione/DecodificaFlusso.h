// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Codifica.h"

#include <string>
#include <string_view>

namespace varnel {

// Decodes a file a buffer at a time in the code page its analysis found, a character never lost
// at a buffer's edge.
class DecodificaFlusso {
public:
    explicit DecodificaFlusso(Codifica codifica)
        : m_codifica(codifica)
    {
    }
    // False when the bytes are not in the code page (the file changed since its analysis).
    [[nodiscard]] bool aggiungi(std::string_view byte, std::u32string& testo);
    [[nodiscard]] bool concludi(std::u32string& testo);

private:
    [[nodiscard]] std::size_t completi() const;
    Codifica m_codifica;
    std::string m_resto;
    bool m_inizio = true;
};

}  // namespace varnel
