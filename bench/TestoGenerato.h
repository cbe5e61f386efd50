// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace varnel::banco {

// Italian-looking text: words of letters, blanks, punctuation, CR LF lines, now and then a quoted
// field and an accented (two-byte) letter. The same seed gives the same text.
inline std::string TestoGenerato(std::size_t byte, std::uint32_t seme = 42)
{
    static const char* const Parole[] = {
        "il",       "programma",     "conta",        "le",   "lettere", "del",     "testo",    "cifrato",
        "e",        "mostra",        "Frequenza",    "ogni", "simbolo", "Analisi", "cifrario", "sostituzione",
        "alfabeto", "perch\xC3\xA8", "citt\xC3\xA0", "un",   "che",     "di"};
    std::mt19937 caso(seme);
    std::uniform_int_distribution<int> parola(0, sizeof Parole / sizeof *Parole - 1);
    std::uniform_int_distribution<int> evento(0, 99);
    std::string testo;
    testo.reserve(byte + 64);
    std::size_t riga = 0;
    while (testo.size() < byte) {
        const int e = evento(caso);
        if (e < 3)
            testo += "\"una, citazione\"";
        else
            testo += Parole[parola(caso)];
        testo += e < 8 ? ", " : e < 12 ? ". " : " ";
        if (testo.size() - riga > 70) {
            testo += "\r\n";
            riga = testo.size();
        }
    }
    testo.resize(byte);
    return testo;
}

}  // namespace varnel::banco
