// SPDX-License-Identifier: GPL-3.0-or-later
// Decifrazione for the page: the key worked by hand (its history, its paste rules), the text under
// it, the ranking, the statistics, the key in a file and the key search, all the core's own; the
// worker hands a File's bytes through Module.leggiPezzo, takes the deciphered text through
// Module.scriviPezzo and the search's progress through Module.avanza.
#include "Json.h"
#include "Pagina.h"

#include "ChiaveInLavoro.h"
#include "Cifrario.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

EM_JS(void, ScriviPezzo, (const char* p, std::size_t n), { Module.scriviPezzo(p, n); });
// How far the key search has come, as the desktop's progress dialog shows it.
EM_JS(void, Avanza, (double fatto, double tutto), { Module.avanza(fatto, tutto); });

using namespace varnel;
using varnel::web::Decimale;
using varnel::web::Json;
using varnel::web::Migliaia;

namespace {

constexpr std::size_t CaratteriAnteprima = 20'000;
constexpr std::size_t NgrammiMostrati = 10;

struct Banco {
    Criterio criterio;
    Codifica codifica;
    Conteggi conteggi;
    std::u32string inizio;
    std::vector<std::uint8_t> sequenza;
    StoriaChiave storia;
};

std::optional<Banco> banco;
std::string risposta;

class UscitaPagina : public Uscita {
public:
    std::optional<Errore> scrivi(std::string_view byte) override
    {
        ScriviPezzo(byte.data(), byte.size());
        return std::nullopt;
    }
};

void Insieme(Json& json, std::string_view nome, const InsiemeSlot& insieme)
{
    json.chiave(nome).apri('[');
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        if (insieme[k])
            json.intero(k);
    }
    json.chiudi(']');
}

void Ngrammi(Json& json, std::string_view nome, const std::vector<Ngramma>& ngrammi)
{
    json.chiave(nome).apri('[');
    for (std::size_t i = 0; i < std::min(ngrammi.size(), NgrammiMostrati); ++i) {
        json.apri('{').chiave("slot").apri('[');
        for (const auto s : ngrammi[i].slot)
            json.intero(s);
        json.chiudi(']').chiave("conteggio").testo(Migliaia(ngrammi[i].conteggio)).chiudi('}');
    }
    json.chiudi(']').chiave(std::string(nome) + "Totale").intero(ngrammi.size());
}

void Riconoscimento(Json& json, const Riconosciuto& r)
{
    json.chiave("breve").intero(r.breve);
    json.chiave("improbabile").intero(r.sostituzione == Verdetto::Improbabile);
    json.chiave("probabile").intero(r.sostituzione == Verdetto::Probabile);
    if (r.affine) {
        json.chiave("moltiplicatore").intero(static_cast<std::uint64_t>(r.affine->moltiplicatore));
        json.chiave("spostamento").intero(static_cast<std::uint64_t>(r.affine->spostamento));
    }
}

const char* Risposta(const Json& json)
{
    risposta = json.fine();
    return risposta.c_str();
}

const char* Rifiuto(const std::string& dettaglio)
{
    Json json;
    json.apri('{').chiave("errore").testo(dettaglio).chiudi('}');
    return Risposta(json);
}

void Avanzato(const Avanzamento& avanzamento)
{
    Avanza(static_cast<double>(avanzamento.letti()), static_cast<double>(avanzamento.dimensione()));
}

const char* Stato(int lingua)
{
    const Banco& b = *banco;
    const Chiave& chiave = b.storia.attuale();
    const auto scelta = static_cast<Lingua>(lingua);
    Json json;
    json.apri('{').chiave("chiave").testo(std::string_view(chiave.data(), chiave.size()));
    const TestoSegnato segnato = ConvenzioneClassica(b.inizio, b.criterio, chiave);
    // Code points, which the page turns into its own strings.
    json.chiave("anteprima").apri('[');
    for (const char32_t c : segnato.testo)
        json.intero(c);
    json.chiudi(']').chiave("segni").apri('[');
    for (const Segno s : segnato.segni)
        json.intero(static_cast<std::uint64_t>(s));
    json.chiudi(']');
    Insieme(json, "nonUsate", LettereNonUsate(chiave));
    Insieme(json, "senzaLettera", SimboliSenzaLettera(chiave));
    Insieme(json, "doppioni", Doppioni(chiave));
    // What undo and redo would take back or do again, when they would.
    if (const auto modifica = b.storia.daAnnullare())
        json.chiave("daAnnullare").intero(static_cast<std::uint64_t>(*modifica));
    if (const auto modifica = b.storia.daRipetere())
        json.chiave("daRipetere").intero(static_cast<std::uint64_t>(*modifica));
    std::uint64_t totale = 0;
    for (const auto n : b.conteggi)
        totale += n;
    json.chiave("simboli").testo(Migliaia(totale));
    json.chiave("indice").numero(IndiceCoincidenza(b.conteggi));
    json.chiave("indiceTesto").testo(Decimale(IndiceCoincidenza(b.conteggi), 4));
    json.chiave("indiceLingua").testo(Decimale(IndiceCoincidenzaLingua(scelta), 4));
    json.chiave("indiceCasuale").testo(Decimale(IndiceCoincidenzaCasuale, 4));
    Riconoscimento(json, Riconosci(chiave, b.conteggi, b.criterio, scelta));
    Ngrammi(json, "bigrammi", NgrammiFrequenti(b.sequenza, 2, NgrammiMostrati));
    Ngrammi(json, "trigrammi", NgrammiFrequenti(b.sequenza, 3, NgrammiMostrati));
    Ngrammi(json, "doppie", Doppie(b.sequenza));
    json.chiave("primi").testo(Migliaia(SimboliRisolutore)).chiudi('}');
    return Risposta(json);
}

Chiave ChiaveDa(const char* lettere)
{
    Chiave chiave{};
    for (std::size_t k = 0; k < NumeroSlot && lettere[k] != 0; ++k)
        chiave[k] = lettere[k] >= 'a' && lettere[k] <= 'z' ? lettere[k] : 0;
    return chiave;
}

}  // namespace

extern "C" {

// Opens the workbench on the text just analysed: `modo` and `simboli` as for varnel_inizia, the
// code page and the counts its analysis found. Reads the text's beginning through leggiPezzo;
// null when it cannot be read.
EMSCRIPTEN_KEEPALIVE const char* varnel_decifrazione(int modo, const std::uint32_t* simboli, int codifica,
                                                     const double* conteggi, int lingua)
{
    Criterio criterio = ModoLettere::SenzaDistinzione;
    if (modo < 3) {
        criterio = static_cast<ModoLettere>(modo);
    } else {
        Simboli s{};
        for (std::size_t k = 0; k < NumeroSlot; ++k)
            s[k] = static_cast<char32_t>(simboli[k]);
        criterio = s;
    }
    Banco b{criterio, static_cast<Codifica>(codifica), {}, {}, {}, {}};
    for (std::size_t k = 0; k < NumeroSlot; ++k)
        b.conteggi[k] = static_cast<std::uint64_t>(conteggi[k]);
    auto inizio = LeggiInizio(web::DaPagina, b.codifica, criterio, CaratteriAnteprima, SimboliRisolutore);
    if (!inizio.riuscito())
        return nullptr;
    b.inizio = std::move(inizio).valore();
    b.sequenza = SequenzaSimboli(b.inizio, criterio);
    banco = std::move(b);
    return Stato(lingua);
}

EMSCRIPTEN_KEEPALIVE const char* varnel_stato_chiave(int lingua) { return Stato(lingua); }

// A key that the page made from the boxes: `lettere` holds 26 letters a-z, anything else for none;
// `modifica` is the Modifica that made it.
EMSCRIPTEN_KEEPALIVE const char* varnel_cambia_chiave(const char* lettere, int modifica, int lingua)
{
    banco->storia.cambia(ChiaveDa(lettere), static_cast<Modifica>(modifica));
    return Stato(lingua);
}

// Text pasted into box `casella` (from 0): the new state with "casella", the box the cursor goes
// to, or {"errore": the line refused}.
EMSCRIPTEN_KEEPALIVE const char* varnel_incolla_chiave(const char* testo, int casella, int lingua)
{
    const auto incollato = Incolla(testo, banco->criterio, banco->storia.attuale(), static_cast<std::size_t>(casella));
    if (!incollato.riuscito())
        return Rifiuto(incollato.errore().dettaglio);
    banco->storia.cambia(incollato.valore().chiave, Modifica::Incollata);
    std::string stato = Stato(lingua);
    stato.insert(1, "\"casella\":" + std::to_string(incollato.valore().casella) + ",");
    risposta = stato;
    return risposta.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* varnel_annulla_chiave(int ripeti, int lingua)
{
    if (ripeti != 0)
        banco->storia.ripeti();
    else
        banco->storia.annulla();
    return Stato(lingua);
}

// "Chiave per frequenza": the k-th most frequent symbol gets the language's k-th letter.
EMSCRIPTEN_KEEPALIVE const char* varnel_chiave_per_frequenza(int lingua)
{
    banco->storia.cambia(ChiavePerFrequenza(banco->conteggi, static_cast<Lingua>(lingua)), Modifica::PerFrequenza);
    return Stato(lingua);
}

// "Proponi chiave", or with the key's letters kept "Completa chiave".
EMSCRIPTEN_KEEPALIVE const char* varnel_cerca_chiave(int completa, int lingua)
{
    const Chiave tenute = completa != 0 ? banco->storia.attuale() : Chiave{};
    Avanzamento avanzamento;
    avanzamento.osserva(Avanzato);
    const auto scelta = static_cast<Lingua>(lingua);
    const auto trovata = completa != 0 ? CompletaChiave(banco->sequenza, banco->conteggi, scelta, tenute, avanzamento)
                                       : ProponiChiave(banco->sequenza, banco->conteggi, scelta, avanzamento);
    if (trovata.riuscito())
        banco->storia.cambia(trovata.valore(), Modifica::Proposta);
    return Stato(lingua);
}

// "Classifica (dal simbolo più frequente):" for the language: the symbols by count, each with its
// count, its share, the language's letter of the same rank and that letter's share.
EMSCRIPTEN_KEEPALIVE const char* varnel_classifica(int lingua)
{
    const auto& conteggi = banco->conteggi;
    std::uint64_t totale = 0;
    for (const auto n : conteggi)
        totale += n;
    const auto scelta = static_cast<Lingua>(lingua);
    const auto ordine = Classifica(conteggi);
    const auto lettere = ClassificaLettere(scelta);
    const auto& frequenze = FrequenzeLettere(scelta);
    Json json;
    json.apri('[');
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        const auto n = conteggi[ordine[k]];
        const double quota = totale ? 100.0 * static_cast<double>(n) / static_cast<double>(totale) : 0.0;
        json.apri('{').chiave("slot").intero(ordine[k]).chiave("conteggio").testo(Migliaia(n));
        json.chiave("quota").testo(Decimale(quota, 1));
        json.chiave("lettera").testo(std::string(1, static_cast<char>('a' + lettere[k])));
        json.chiave("lingua").testo(Decimale(frequenze[lettere[k]], 1)).chiudi('}');
    }
    json.chiudi(']');
    return Risposta(json);
}

// The key as a key file holds it, for "Salva chiave..." and "Copia chiave".
EMSCRIPTEN_KEEPALIVE const char* varnel_scrivi_chiave()
{
    risposta = ScriviChiave(banco->storia.attuale(), banco->criterio);
    return risposta.c_str();
}

// "Apri chiave...": the File through leggiPezzo read as a key, one step of the history; or
// {"errore": why it is none}, the key unchanged; null when it cannot be read.
EMSCRIPTEN_KEEPALIVE const char* varnel_apri_chiave(int lingua)
{
    const auto inizio = web::InizioPagina(LimiteFileChiave + 1);
    if (!inizio)
        return nullptr;
    const auto letta = LeggiFileChiave(*inizio, banco->criterio);
    if (!letta.riuscito())
        return Rifiuto(letta.errore().dettaglio);
    banco->storia.cambia(letta.valore(), Modifica::Caricata);
    return Stato(lingua);
}

// The whole text under the key, through scriviPezzo; false when it cannot be read.
EMSCRIPTEN_KEEPALIVE int varnel_decifra()
{
    UscitaPagina uscita;
    Avanzamento avanzamento;
    return !ScriviDecifrato(web::DaPagina, banco->codifica, Sostituzione(banco->criterio, banco->storia.attuale()),
                            uscita, avanzamento);
}

}  // extern "C"
