// SPDX-License-Identifier: GPL-3.0-or-later
// The core as the page's workers call it: plain C functions over the wasm memory. A worker reads a
// File in slices into the buffer given by varnel_buffer and hands each to varnel_consuma, or, when
// the file is split into ranges among several workers, each range's slices to varnel_tratto_consuma;
// the answers that carry more than a number are JSON in UTF-8.
#include "Json.h"

#include "AnalisiFile.h"
#include "AnalisiPezzi.h"
#include "AnalisiTratti.h"
#include "Esportazione.h"
#include "Riferimento.h"
#include "Risultati.h"
#include "Stiramento.h"

#include <emscripten/emscripten.h>

#include <algorithm>
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
std::optional<AnalisiTratto> tratto;
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

// A plan as the page passes it back: the numbers that varnel_piano gave as "piano".
PianoTratti PianoDa(const double* numeri)
{
    return {.dimensione = static_cast<std::uint64_t>(numeri[0]),
            .bom = numeri[1] != 0,
            .inizio = static_cast<std::uint64_t>(numeri[2]),
            .lunghezza = static_cast<std::uint64_t>(numeri[3]),
            .tratti = static_cast<std::size_t>(numeri[4])};
}

// An analysis shown as the analysis windows do: the counts, the denominator, the bars, the captions
// under them, the summary with `separatore`; `didascalie` are the symbols' captions, one a line.
const char* Risposta(const Analisi& fatta, int ignoraAltri, const char* didascalie, const char* separatore)
{
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

// Ends the analysis and shows it (see Risposta).
EMSCRIPTEN_KEEPALIVE const char* varnel_concludi(int ignoraAltri, const char* didascalie, const char* separatore)
{
    const Analisi fatta = analisi->concludi();
    analisi.reset();
    return Risposta(fatta, ignoraAltri, didascalie, separatore);
}

// How a file of `dimensione` bytes, whose first (up to 3) bytes are in the buffer, is split among
// `lavoratori` workers: the plan's numbers, for the calls below, and each range as [from, to,
// bytes before it that its analysis needs]; no ranges when one worker reads it in order.
EMSCRIPTEN_KEEPALIVE const char* varnel_piano(double dimensione, std::size_t iniziali, unsigned lavoratori)
{
    const auto piano = PianificaTratti(static_cast<std::uint64_t>(dimensione),
                                       {reinterpret_cast<const char*>(buffer.data()), iniziali}, lavoratori);
    Json json;
    json.apri('{').chiave("piano").apri('[').intero(piano.dimensione).intero(piano.bom ? 1 : 0);
    json.intero(piano.inizio).intero(piano.lunghezza).intero(piano.tratti).chiudi(']');
    json.chiave("tratti").apri('[');
    for (std::size_t i = 0; i < piano.tratti; ++i)
        json.apri('[').intero(piano.da(i)).intero(piano.a(i)).intero(piano.prima(i)).chiudi(']');
    json.chiudi(']').chiudi('}');
    risposta = json.fine();
    return risposta.c_str();
}

// Starts the analysis of range `indice` of the plan; the bytes before it are in the buffer.
EMSCRIPTEN_KEEPALIVE void varnel_tratto(int modo, const std::uint32_t* simboli, const double* piano, double indice,
                                        std::size_t prima)
{
    tratto.emplace(CriterioDa(modo, simboli), PianoDa(piano), static_cast<std::size_t>(indice),
                   std::span(buffer).first(prima));
}

EMSCRIPTEN_KEEPALIVE void varnel_tratto_consuma(std::size_t n)
{
    tratto->consuma(std::span(buffer).first(n));
}

// Ends the range's analysis: what it gives is at the buffer's start, as many bytes as returned.
EMSCRIPTEN_KEEPALIVE std::size_t varnel_tratto_concludi()
{
    const auto parziale = tratto->concludi();
    tratto.reset();
    std::copy(parziale.begin(), parziale.end(), varnel_buffer(parziale.size()));
    return parziale.size();
}

// Joins what the plan's ranges gave, the n bytes in the buffer in file order, and shows the
// analysis (see Risposta); null when they are not the plan's.
EMSCRIPTEN_KEEPALIVE const char* varnel_unisci(int modo, const std::uint32_t* simboli, const double* piano,
                                               std::size_t n, int ignoraAltri, const char* didascalie,
                                               const char* separatore)
{
    const auto fatta = UnisciTratti(CriterioDa(modo, simboli), PianoDa(piano), std::span(buffer).first(n));
    return fatta ? Risposta(*fatta, ignoraAltri, didascalie, separatore) : nullptr;
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
