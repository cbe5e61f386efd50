// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's analysis of a file, as the page's tests compare it with the page's: the counts,
// the denominator and the summary as JSON.
//   riepilogo_nativo FILE MODO IGNORA     MODO 0 to 2 a case mode; IGNORA 0 or 1
#include "Json.h"

#include "AnalisiFile.h"
#include "Risultati.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    using namespace varnel;
    if (argc != 4)
        return 2;
    Avanzamento avanzamento;
    const auto esito = AnalizzaFile(argv[1], static_cast<ModoLettere>(std::stoi(argv[2])), avanzamento);
    if (!esito.riuscito())
        return 1;
    const std::uint64_t totale = Totale(esito.valore(), std::string(argv[3]) == "1");
    std::array<std::string, NumeroSlot> lettere;
    for (std::size_t k = 0; k < NumeroSlot; ++k)
        lettere[k] = std::string(1, static_cast<char>('a' + k));
    const Risultati risultati = CalcolaRisultati(lettere, esito.valore().conteggi, totale, ",");
    web::Json json;
    json.apri('{').chiave("conteggi").apri('[');
    for (const std::uint64_t c : esito.valore().conteggi)
        json.intero(c);
    json.chiudi(']').chiave("totale").intero(totale).chiave("riepilogo").testo(risultati.riepilogo).chiudi('}');
    std::puts(json.fine().c_str());
}
