// SPDX-License-Identifier: GPL-3.0-or-later
#include "Esportazione.h"

#include "Risultati.h"

#include <utility>

namespace varnel {

namespace {

std::string Campo(std::string_view testo, const FormatoTabella& formato)
{
    if (testo.find(formato.separatoreCampi) == std::string_view::npos
        && testo.find_first_of("\"\r\n") == std::string_view::npos)
        return std::string(testo);
    std::string citato = "\"";
    for (const char c : testo) {
        if (c == '"')
            citato += '"';
        citato += c;
    }
    return citato + '"';
}

std::string Riga(std::initializer_list<std::string_view> campi, const FormatoTabella& formato)
{
    std::string riga;
    bool primo = true;
    for (const std::string_view campo : campi) {
        if (!std::exchange(primo, false))
            riga += formato.separatoreCampi;
        riga += Campo(campo, formato);
    }
    return riga + std::string(formato.fineRiga);
}

}  // namespace

FormatoTabella FormatoCsv(std::string_view separatoreDecimale)
{
    return {.separatoreCampi = separatoreDecimale == "," ? ";" : ",",
            .separatoreDecimale = separatoreDecimale,
            .fineRiga = "\r\n"};
}

std::string TabellaRisultati(std::span<const std::string, NumeroSlot> simboli, const Conteggi& conteggi,
                             std::uint64_t totale, const FormatoTabella& formato)
{
    std::string tabella = Riga({"Simbolo", "Conteggio", "Percentuale"}, formato);
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        const double percentuale = totale > 0 ? static_cast<double>(conteggi[k]) / static_cast<double>(totale) * 100
                                              : 0.0;
        tabella += Riga({simboli[k], std::to_string(conteggi[k]), TestoNumero(percentuale, formato.separatoreDecimale)},
                        formato);
    }
    return tabella + Riga({"Totale", std::to_string(totale)}, formato);
}

}  // namespace varnel
