// SPDX-License-Identifier: GPL-3.0-or-later
#include "Pagina.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstdio>

// The next slice of the File from where the last ended, -1 when it cannot be read.
EM_JS(int, LeggiPezzo, (std::uint8_t * p, std::size_t n), { return Module.leggiPezzo(p, n); });

namespace varnel::web {

Esito<std::size_t> DaPagina(std::span<std::uint8_t> buffer)
{
    const int letti = LeggiPezzo(buffer.data(), buffer.size());
    if (letti < 0)
        return Errore{Motivo::ErroreLettura, {}};
    return static_cast<std::size_t>(letti);
}

std::optional<std::string> InizioPagina(std::size_t massimo)
{
    std::string byte(massimo, '\0');
    std::size_t letti = 0;
    while (letti < massimo) {
        const auto pezzo = DaPagina(std::span(reinterpret_cast<std::uint8_t*>(byte.data()) + letti, massimo - letti));
        if (!pezzo.riuscito())
            return std::nullopt;
        if (pezzo.valore() == 0)
            break;
        letti += pezzo.valore();
    }
    byte.resize(letti);
    return byte;
}

std::string Decimale(double valore, int cifre)
{
    char testo[32];
    std::snprintf(testo, sizeof testo, "%.*f", cifre, valore);
    std::string s = testo;
    std::replace(s.begin(), s.end(), '.', ',');
    return s;
}

std::string Migliaia(std::uint64_t n)
{
    std::string s = std::to_string(n);
    for (std::size_t i = s.size(); i > 3; i -= 3)
        s.insert(i - 3, ".");
    return s;
}

}  // namespace varnel::web
