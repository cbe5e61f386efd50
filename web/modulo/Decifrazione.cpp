// SPDX-License-Identifier: GPL-3.0-or-later
// Decifrazione for the page: the key worked by hand (its history, its paste rules), the text under
// it, the statistics and the key search, all the core's own; the worker hands the analysed File's
// bytes through Module.leggiPezzo and takes the deciphered text through Module.scriviPezzo.
#include "Json.h"

#include "ChiaveInLavoro.h"
#include "Cifrario.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

// The next slice of the File from where the last ended, -1 when it cannot be read.
EM_JS(int, LeggiPezzo, (std::uint8_t * p, std::size_t n), { return Module.leggiPezzo(p, n); });
EM_JS(void, ScriviPezzo, (const char* p, std::size_t n), { Module.scriviPezzo(p, n); });

using namespace varnel;
using varnel::web::Json;

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

Esito<std::size_t> DaPagina(std::span<std::uint8_t> buffer)
{
    const int letti = LeggiPezzo(buffer.data(), buffer.size());
    if (letti < 0)
        return Errore{Motivo::ErroreLettura, {}};
    return static_cast<std::size_t>(letti);
}

class UscitaPagina : public Uscita {
public:
    std::optional<Errore> scrivi(std::string_view byte) override
    {
        ScriviPezzo(byte.data(), byte.size());
        return std::nullopt;
    }
};

// As an Italian locale writes them: a comma for the decimals, a point between thousands.
std::string Decimale(double valore)
{
    char testo[32];
    std::snprintf(testo, sizeof testo, "%.4f", valore);
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
        json.chiudi(']').chiave("conteggio").intero(ngrammi[i].conteggio).chiudi('}');
    }
    json.chiudi(']').chiave(std::string(nome) + "Totale").intero(ngrammi.size());
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
    json.chiave("annullabile").intero(b.storia.daAnnullare().has_value());
    json.chiave("ripetibile").intero(b.storia.daRipetere().has_value());
    std::uint64_t totale = 0;
    for (const auto n : b.conteggi)
        totale += n;
    json.chiave("simboli").testo(Migliaia(totale));
    json.chiave("indice").numero(IndiceCoincidenza(b.conteggi));
    json.chiave("indiceTesto").testo(Decimale(IndiceCoincidenza(b.conteggi)));
    json.chiave("indiceLingua").testo(Decimale(IndiceCoincidenzaLingua(scelta)));
    json.chiave("indiceCasuale").testo(Decimale(IndiceCoincidenzaCasuale));
    json.chiave("improbabile").intero(SostituzioneImprobabile(b.conteggi, scelta));
    Ngrammi(json, "bigrammi", NgrammiFrequenti(b.sequenza, 2, NgrammiMostrati));
    Ngrammi(json, "trigrammi", NgrammiFrequenti(b.sequenza, 3, NgrammiMostrati));
    Ngrammi(json, "doppie", Doppie(b.sequenza));
    json.chiave("primi").testo(Migliaia(SimboliRisolutore)).chiudi('}');
    risposta = json.fine();
    return risposta.c_str();
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
    auto inizio = LeggiInizio(DaPagina, b.codifica, criterio, CaratteriAnteprima, SimboliRisolutore);
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
    if (!incollato.riuscito()) {
        Json json;
        json.apri('{').chiave("errore").testo(incollato.errore().dettaglio).chiudi('}');
        risposta = json.fine();
        return risposta.c_str();
    }
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
    const auto scelta = static_cast<Lingua>(lingua);
    const auto trovata = completa != 0 ? CompletaChiave(banco->sequenza, banco->conteggi, scelta, tenute, avanzamento)
                                       : ProponiChiave(banco->sequenza, banco->conteggi, scelta, avanzamento);
    if (trovata.riuscito())
        banco->storia.cambia(trovata.valore(), Modifica::Proposta);
    return Stato(lingua);
}

// The whole text under the key, through scriviPezzo; false when it cannot be read.
EMSCRIPTEN_KEEPALIVE int varnel_decifra()
{
    UscitaPagina uscita;
    Avanzamento avanzamento;
    return !ScriviDecifrato(DaPagina, banco->codifica, Sostituzione(banco->criterio, banco->storia.attuale()), uscita,
                            avanzamento);
}

}  // extern "C"
