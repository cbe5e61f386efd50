// SPDX-License-Identifier: GPL-3.0-or-later
// The core as the page's worker calls it: plain C functions over the wasm memory. The worker
// reads a File in slices into the buffer given by varnel_buffer and hands each to
// varnel_consuma; the answers that carry more than a number are JSON in UTF-8.
#include "Json.h"

#include "AnalisiFile.h"
#include "AnalisiPezzi.h"
#include "Esportazione.h"
#include "Riferimento.h"
#include "Risultati.h"
#include "Stiramento.h"

#include <emscripten/emscripten.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace varnel;
using varnel::web::Json;

namespace {

std::optional<AnalisiPezzi> analisi;
std::vector<std::uint8_t> buffer;
std::string risposta;

// Modes 0 to 2 are the three case modes of ModoLettere; 3 reads 26 code points at `simboli`.
Criterio CriterioDa(int modo, const std::uint32_t* simboli)
{
    if (modo < 3)
        return static_cast<ModoLettere>(modo);
    Simboli s{};
    for (std::size_t k = 0; k < NumeroSlot; ++k)
        s[k] = static_cast<char32_t>(simboli[k]);
    return s;
}

// The 26 captions, one a line.
std::array<std::string, NumeroSlot> Didascalie(std::string_view righe)
{
    std::array<std::string, NumeroSlot> didascalie;
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        const std::size_t a = righe.find('\n');
        didascalie[k] = righe.substr(0, a);
        righe = a == std::string_view::npos ? std::string_view{} : righe.substr(a + 1);
    }
    return didascalie;
}

// Counts as the page keeps them: JavaScript numbers, exact up to 2^53.
Conteggi ConteggiDa(const double* numeri)
{
    Conteggi conteggi{};
    for (std::size_t k = 0; k < NumeroSlot; ++k)
        conteggi[k] = static_cast<std::uint64_t>(numeri[k]);
    return conteggi;
}

void Barre(Json& json, std::span<const Barra, NumeroSlot> barre)
{
    json.chiave("altezze").apri('[');
    for (const Barra& b : barre)
        json.numero(static_cast<double>(b.altezza));
    json.chiudi(']');
}

}  // namespace

extern "C" {

// A buffer of at least n bytes in the wasm memory, for the next slice.
EMSCRIPTEN_KEEPALIVE std::uint8_t* varnel_buffer(std::size_t n)
{
    if (buffer.size() < n)
        buffer.resize(n);
    return buffer.data();
}

EMSCRIPTEN_KEEPALIVE void varnel_inizia(int modo, const std::uint32_t* simboli)
{
    analisi.emplace(CriterioDa(modo, simboli));
}

EMSCRIPTEN_KEEPALIVE void varnel_consuma(std::size_t n)
{
    analisi->consuma(std::span(buffer).first(n));
}

// Ends the analysis and shows it as the analysis windows do: the counts, the denominator, the
// bars, the captions under them, the summary with `separatore`; `didascalie` are the symbols'
// captions, one a line.
EMSCRIPTEN_KEEPALIVE const char* varnel_concludi(int ignoraAltri, const char* didascalie, const char* separatore)
{
    const Analisi fatta = analisi->concludi();
    analisi.reset();
    const std::uint64_t totale = Totale(fatta, ignoraAltri != 0);
    const Risultati risultati = CalcolaRisultati(Didascalie(didascalie), fatta.conteggi, totale, separatore);
    Json json;
    json.apri('{').chiave("conteggi").apri('[');
    for (const std::uint64_t c : fatta.conteggi)
        json.intero(c);
    json.chiudi(']').chiave("percentuali").apri('[');
    for (const std::uint64_t c : fatta.conteggi)
        json.testo(TestoNumero(totale > 0 ? static_cast<double>(c) / static_cast<double>(totale) * 100 : 0, "."));
    json.chiudi(']').chiave("etichette").apri('[');
    for (const std::string& e : risultati.etichette)
        json.testo(e);
    json.chiudi(']');
    Barre(json, risultati.barre);
    json.chiave("totale").intero(totale).chiave("lunghezza").intero(fatta.lunghezza);
    json.chiave("codifica").intero(static_cast<std::uint64_t>(fatta.codifica));
    json.chiave("riepilogo").testo(risultati.riepilogo);
    json.chiave("percMax").numero(risultati.percMax).chiave("conteggioMax").intero(risultati.conteggioMax);
    json.chiudi('}');
    risposta = json.fine();
    return risposta.c_str();
}

// "Ottimizza grafico": the stretched bars and the gridlines' captions, or null when there is
// nothing to stretch.
EMSCRIPTEN_KEEPALIVE const char* varnel_stira(const float* altezze, double percMax, double totale, double conteggioMax)
{
    const StatoAnalisi stato{.PercMax = percMax,
                             .Totale = static_cast<std::uint64_t>(totale),
                             .Ottimizzato = 0,
                             .ConteggioMax = static_cast<std::uint64_t>(conteggioMax)};
    const auto stiramento = Stira(std::span<const float, NumeroSlot>(altezze, NumeroSlot), stato);
    if (!stiramento)
        return nullptr;
    Json json;
    json.apri('{');
    Barre(json, stiramento->barre);
    json.chiave("perc1").testo(stiramento->perc1).chiave("perc2").testo(stiramento->perc2).chiudi('}');
    risposta = json.fine();
    return risposta.c_str();
}

// The table of "Copia risultati" (tab-separated, Italian decimals) or, with `csv`, of "Esporta
// risultati (CSV)..." with its byte-order mark.
EMSCRIPTEN_KEEPALIVE const char* varnel_tabella(const double* conteggi, double totale, const char* didascalie, int csv)
{
    const FormatoTabella formato = csv != 0 ? FormatoCsv(",") : FormatoTabella{"\t", ",", "\n"};
    risposta = (csv != 0 ? std::string(BomUtf8) : std::string())
               + TabellaRisultati(Didascalie(didascalie), ConteggiDa(conteggi), static_cast<std::uint64_t>(totale),
                                  formato);
    return risposta.c_str();
}

// The reference markers' heights in percent for language 0 (Italian) or 1 (English).
EMSCRIPTEN_KEEPALIVE const char* varnel_riferimento(int lingua, const double* conteggi, double totale)
{
    const auto percentuali = PercentualiRiferimento(static_cast<Lingua>(lingua), ConteggiDa(conteggi),
                                                    static_cast<std::uint64_t>(totale));
    Json json;
    json.apri('[');
    for (const double p : percentuali)
        json.numero(p);
    json.chiudi(']');
    risposta = json.fine();
    return risposta.c_str();
}

}  // extern "C"
