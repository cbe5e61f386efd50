// SPDX-License-Identifier: GPL-3.0-or-later
// "Crea crittogramma" for the page: the plaintext opened from a file, the key drawn from a seed,
// built from a keyword or typed, the plaintext enciphered under it, and what the worksheet and the
// key file show; the core's rules.
#include "Json.h"
#include "Pagina.h"

#include "ChiaveInLavoro.h"
#include "Cifratura.h"

#include <emscripten/emscripten.h>

#include <array>
#include <span>
#include <string>

using namespace varnel;
using varnel::web::Decimale;
using varnel::web::Json;

namespace {

std::string risposta;

void CodiciJson(Json& json, std::string_view nome, std::u32string_view testo)
{
    json.chiave(nome).apri('[');
    for (const char32_t c : testo)
        json.intero(c);
    json.chiudi(']');
}

void Percentuali(Json& json, std::string_view nome, std::span<const double, NumeroSlot> percentuali,
                 std::span<const std::size_t, NumeroSlot> ordine)
{
    json.chiave(nome).apri('[');
    for (const std::size_t k : ordine)
        json.testo(Decimale(percentuali[k], 1));
    json.chiudi(']');
}

// What the worksheet shows with "Frequenze nella scheda": the share of each letter A–Z in the
// ciphertext, and the Italian letters from the most frequent with their shares.
void Frequenze(Json& json, std::u32string_view cifrato)
{
    const Conteggi conteggi = ContaMaiuscole(cifrato);
    std::uint64_t totale = 0;
    for (const auto n : conteggi)
        totale += n;
    std::array<double, NumeroSlot> nelTesto{};
    std::array<std::size_t, NumeroSlot> alfabetico{};
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        nelTesto[k] = totale > 0 ? 100.0 * static_cast<double>(conteggi[k]) / static_cast<double>(totale) : 0.0;
        alfabetico[k] = k;
    }
    Percentuali(json, "nelTesto", nelTesto, alfabetico);
    const auto lettere = ClassificaLettere(Lingua::Italiano);
    json.chiave("lettereItaliano").apri('[');
    for (const std::size_t k : lettere)
        json.testo(std::string(1, static_cast<char>('a' + k)));
    json.chiudi(']');
    Percentuali(json, "italiano", FrequenzeLettere(Lingua::Italiano), lettere);
}

// The ciphertext's lines at `colonne` characters, as the worksheet lays them out.
void Impagina(Json& json, std::u32string_view cifrato, std::size_t colonne)
{
    json.chiave("righe").apri('[');
    for (const Riga& r : Righe(cifrato, colonne))
        json.apri('[').intero(r.inizio).intero(r.lunghezza).chiudi(']');
    json.chiudi(']');
}

}  // namespace

extern "C" {

// `testo` and `chiave` are code points. `origine` 0 draws the key from `seme`, 1 builds it from
// the keyword `chiave`, 2 reads `chiave` as the 26 letters typed. Gives {"valido": 0} for a typed
// key that is not one, otherwise the alphabet, the ciphertext and the solution as code points,
// the key file's text, the frequencies and the ciphertext's lines at `colonne` characters.
EMSCRIPTEN_KEEPALIVE const char* varnel_cifra(const std::uint32_t* testo, std::size_t n, int origine, double seme,
                                              const std::uint32_t* chiave, std::size_t m, int spazi, int togliAccenti,
                                              std::size_t colonne)
{
    const std::u32string chiaro(reinterpret_cast<const char32_t*>(testo), n);
    const std::u32string_view scritta(reinterpret_cast<const char32_t*>(chiave), m);
    std::optional<Alfabeto> alfabeto;
    if (origine == 0)
        alfabeto = AlfabetoCasuale(static_cast<std::uint64_t>(seme));
    else if (origine == 1)
        alfabeto = AlfabetoDaParola(scritta);
    else
        alfabeto = AlfabetoDaTesto(scritta);
    Json json;
    json.apri('{').chiave("valido").intero(alfabeto.has_value());
    if (alfabeto) {
        const OpzioniCrittogramma opzioni{.spazi = static_cast<Spazi>(spazi), .togliAccenti = togliAccenti != 0};
        const TestoCifrato cifrato = Cifra(chiaro, *alfabeto, opzioni);
        json.chiave("alfabeto").testo(std::string_view(alfabeto->data(), alfabeto->size()));
        CodiciJson(json, "cifrato", cifrato.cifrato);
        CodiciJson(json, "chiaro", cifrato.chiaro);
        json.chiave("fileChiave").testo(ScriviChiave(ChiaveDi(*alfabeto), ModoLettere::Maiuscole));
        Frequenze(json, cifrato.cifrato);
        Impagina(json, cifrato.cifrato, colonne);
    }
    json.chiudi('}');
    risposta = json.fine();
    return risposta.c_str();
}

// "Apri testo...": the File through leggiPezzo decoded as the desktop decodes a plaintext file, as
// code points; {"troppoLungo": 1} past what a cryptogram takes; null when it cannot be read.
EMSCRIPTEN_KEEPALIVE const char* varnel_testo_in_chiaro()
{
    const auto byte = web::InizioPagina(MassimoTestoInChiaro + 1);
    if (!byte)
        return nullptr;
    Json json;
    json.apri('{');
    if (byte->size() > MassimoTestoInChiaro)
        json.chiave("troppoLungo").intero(1);
    else
        CodiciJson(json, "testo", DecodificaTestoInChiaro(*byte));
    json.chiudi('}');
    risposta = json.fine();
    return risposta.c_str();
}

}  // extern "C"
