// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <iterator>
#include <random>
#include <string>

namespace varnel::banco {

inline constexpr const char* Parole[] = {
    "il",       "programma",     "conta",        "le",   "lettere", "del",     "testo",    "cifrato",
    "e",        "mostra",        "Frequenza",    "ogni", "simbolo", "Analisi", "cifrario", "sostituzione",
    "alfabeto", "perch\xC3\xA8", "citt\xC3\xA0", "un",   "che",     "di"};

// Italian-looking text: words of letters, blanks, punctuation, CR LF lines, now and then a quoted
// field and an accented (two-byte) letter. The same seed gives the same text.
inline std::string TestoGenerato(std::size_t byte, std::uint32_t seme = 42)
{
    std::mt19937 caso(seme);
    std::uniform_int_distribution<int> parola(0, static_cast<int>(std::size(Parole)) - 1);
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

// Nothing but quoted fields of one to four words, some ending in a comma or a blank, separated
// by commas, four to a CR LF line: the worst case for a field reader that looks for quotes.
inline std::string TestoVirgolettato(std::size_t byte, std::uint32_t seme = 42)
{
    std::mt19937 caso(seme);
    std::uniform_int_distribution<int> parola(0, static_cast<int>(std::size(Parole)) - 1);
    std::uniform_int_distribution<int> evento(0, 9);
    std::string testo;
    testo.reserve(byte + 256);
    for (int campo = 1; testo.size() < byte; ++campo) {
        testo += '"';
        for (int n = evento(caso) % 4; n >= 0; --n) {
            testo += Parole[parola(caso)];
            testo += n > 0 ? (evento(caso) < 3 ? ", " : " ") : "";
        }
        const int e = evento(caso);
        testo += e == 0 ? ",\"" : e == 1 ? " \"" : "\"";
        testo += campo % 4 == 0 ? "\r\n" : ",";
    }
    testo.resize(byte);
    return testo;
}

}  // namespace varnel::banco
