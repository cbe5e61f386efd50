// SPDX-License-Identifier: GPL-3.0-or-later
// "Crea crittogramma" for the page: the key drawn from a seed, built from a keyword or typed, the
// plaintext enciphered under it, and what the worksheet and the key file show; the core's rules.
#include "Json.h"

#include "ChiaveInLavoro.h"
#include "Cifratura.h"

#include <emscripten/emscripten.h>

#include <string>

using namespace varnel;
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

}  // namespace

extern "C" {

// `testo` and `chiave` are code points. `origine` 0 draws the key from `seme`, 1 builds it from
// the keyword `chiave`, 2 reads `chiave` as the 26 letters typed. Gives {"valido": 0} for a typed
// key that is not one, otherwise the alphabet, the ciphertext and the solution as code points,
// the key file's text and the ciphertext's letter counts.
EMSCRIPTEN_KEEPALIVE const char* varnel_cifra(const std::uint32_t* testo, std::size_t n, int origine, double seme,
                                              const std::uint32_t* chiave, std::size_t m, int spazi, int togliAccenti)
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
        json.chiave("conteggi").apri('[');
        for (const auto c : ContaMaiuscole(cifrato.cifrato))
            json.intero(c);
        json.chiudi(']');
    }
    json.chiudi('}');
    risposta = json.fine();
    return risposta.c_str();
}

}  // extern "C"
