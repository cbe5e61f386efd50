// SPDX-License-Identifier: GPL-3.0-or-later
// The key written as text, read back, and pasted.
#include "ChiaveInLavoro.h"
#include "Codifica.h"

#include <algorithm>
#include <cstdio>

namespace varnel {

namespace {

constexpr std::string_view Intestazione = "# Chiave di Varnel: simbolo cifrato=lettera in chiaro\n";
// A line quoted in a message is cut here.
constexpr std::size_t CitazioneMassima = 40;

void AggiungiUtf8(std::string& uscita, char32_t c)
{
    std::uint8_t byte[4];
    ScriviUtf8(c, byte);
    uscita.append(reinterpret_cast<const char*>(byte), LunghezzaUtf8(c));
}

[[nodiscard]] std::string Utf8(std::u32string_view testo)
{
    std::string uscita;
    for (const char32_t c : testo)
        AggiungiUtf8(uscita, c);
    return uscita;
}

[[nodiscard]] bool Spazio(char32_t c) { return c == U' ' || c == U'\t'; }
[[nodiscard]] bool LetteraAscii(char32_t c) { return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z'); }
[[nodiscard]] char Minuscola(char32_t c) { return static_cast<char>(c >= U'a' ? c : c - U'A' + U'a'); }

[[nodiscard]] std::u32string_view SenzaSpazi(std::u32string_view testo)
{
    const auto bianco = [](char32_t c) { return Spazio(c) || c == U'\r' || c == U'\n'; };
    while (!testo.empty() && bianco(testo.front()))
        testo.remove_prefix(1);
    while (!testo.empty() && bianco(testo.back()))
        testo.remove_suffix(1);
    return testo;
}

// The text as code points, without the byte-order mark an editor may have put first.
[[nodiscard]] Esito<std::u32string> Decodificato(std::string_view testo)
{
    if (testo.starts_with(BomUtf8))
        testo.remove_prefix(BomUtf8.size());
    auto decodificato = DecodificaCome(testo, Codifica::Utf8);
    if (!decodificato)
        return Errore{Motivo::Altro, "non è un testo UTF-8"};
    return std::move(*decodificato);
}

// The symbol as a line of the key writes it.
[[nodiscard]] std::string SimboloScritto(char32_t simbolo)
{
    if (simbolo <= 0x20 || (simbolo >= 0x7F && simbolo <= 0xA0) || simbolo == U'#') {
        char codice[16];
        std::snprintf(codice, sizeof codice, "U+%04X", static_cast<unsigned>(simbolo));
        return codice;
    }
    return Utf8(std::u32string_view(&simbolo, 1));
}

// The slot of a symbol written in a key: as counted, or in the other case.
[[nodiscard]] int SlotDi(char32_t simbolo, const Criterio& criterio)
{
    if (std::holds_alternative<ModoLettere>(criterio))
        return MappaSimboli(ModoLettere::SenzaDistinzione).slot(simbolo);
    const MappaSimboli mappa(criterio);
    const int slot = mappa.slot(simbolo);
    if (slot != MappaSimboli::Nessuno || !LetteraAscii(simbolo))
        return slot;
    return mappa.slot(simbolo ^ 0x20);
}

struct Coppia {
    char32_t simbolo;
    char lettera;
};

// "s=l", "U+XXXX=l", with spaces allowed round '=' and the letter.
[[nodiscard]] std::optional<Coppia> LeggiCoppia(std::u32string_view riga)
{
    Coppia coppia{};
    std::size_t i = 1;
    const std::size_t uguale = riga.find(U'=', 1);
    if (riga.starts_with(U"U+") && uguale != std::u32string_view::npos) {
        const auto codice = SenzaSpazi(riga.substr(2, uguale - 2));
        std::uint32_t valore = 0;
        for (const char32_t c : codice) {
            const int cifra = c >= U'0' && c <= U'9'   ? static_cast<int>(c - U'0')
                              : c >= U'A' && c <= U'F' ? static_cast<int>(c - U'A' + 10)
                              : c >= U'a' && c <= U'f' ? static_cast<int>(c - U'a' + 10)
                                                       : -1;
            if (cifra < 0)
                return std::nullopt;
            valore = valore * 16 + static_cast<std::uint32_t>(cifra);
        }
        if (codice.size() < 4 || codice.size() > 6 || valore > 0x10FFFF)
            return std::nullopt;
        coppia.simbolo = valore;
        i = uguale;
    } else if (!riga.empty()) {
        coppia.simbolo = riga[0];
    }
    while (i < riga.size() && Spazio(riga[i]))
        ++i;
    if (i >= riga.size() || riga[i] != U'=')
        return std::nullopt;
    const auto lettera = SenzaSpazi(riga.substr(i + 1));
    if (lettera.size() != 1 || !LetteraAscii(lettera[0]))
        return std::nullopt;
    coppia.lettera = Minuscola(lettera[0]);
    return coppia;
}

[[nodiscard]] Errore ErroreRiga(std::size_t numero, std::u32string_view riga, std::string_view perche)
{
    std::string citata = Utf8(riga.substr(0, CitazioneMassima));
    if (riga.size() > CitazioneMassima)
        citata += "…";
    return {Motivo::Altro, "riga " + std::to_string(numero) + ", «" + citata + "»: " + std::string(perche)};
}

}  // namespace

std::string ScriviChiave(const Chiave& chiave, const Criterio& criterio)
{
    std::string testo(Intestazione);
    const auto* simboli = std::get_if<Simboli>(&criterio);
    const bool maiuscole = !simboli && std::get<ModoLettere>(criterio) == ModoLettere::Maiuscole;
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        if (!chiave[k])
            continue;
        const char32_t simbolo = simboli ? (*simboli)[k] : static_cast<char32_t>((maiuscole ? 'A' : 'a') + k);
        testo += SimboloScritto(simbolo) + '=' + chiave[k] + '\n';
    }
    return testo;
}

Esito<Chiave> LeggiChiave(std::string_view testo, const Criterio& criterio)
{
    const auto decodificato = Decodificato(testo);
    if (!decodificato.riuscito())
        return decodificato.errore();
    const std::u32string_view tutto = decodificato.valore();
    Chiave chiave{};
    std::size_t numero = 0;
    for (std::size_t inizio = 0; inizio <= tutto.size();) {
        const std::size_t fine = std::min(tutto.find(U'\n', inizio), tutto.size());
        auto riga = tutto.substr(inizio, fine - inizio);
        inizio = fine + 1;
        ++numero;
        if (riga.ends_with(U'\r'))
            riga.remove_suffix(1);
        if (SenzaSpazi(riga).empty() || riga.starts_with(U'#'))
            continue;
        const auto coppia = LeggiCoppia(riga);
        if (!coppia)
            return ErroreRiga(numero, riga, "non è una coppia simbolo=lettera");
        const int slot = SlotDi(coppia->simbolo, criterio);
        if (slot == MappaSimboli::Nessuno)
            return ErroreRiga(numero, riga, "il simbolo non è tra quelli contati");
        char& lettera = chiave[static_cast<std::size_t>(slot)];
        if (lettera)
            return ErroreRiga(numero, riga, "il simbolo ha già una lettera in una riga prima");
        lettera = coppia->lettera;
    }
    return chiave;
}

Esito<Chiave> LeggiFileChiave(std::string_view inizio, const Criterio& criterio)
{
    if (inizio.size() > LimiteFileChiave)
        return Errore{Motivo::Altro, "è troppo lungo per una chiave"};
    return LeggiChiave(inizio, criterio);
}

Esito<Incollato> Incolla(std::string_view testo, const Criterio& criterio, const Chiave& attuale, std::size_t casella)
{
    const auto decodificato = Decodificato(testo);
    if (!decodificato.riuscito())
        return decodificato.errore();
    const auto incollato = SenzaSpazi(decodificato.valore());
    const bool lettere = std::all_of(incollato.begin(), incollato.end(), [](char32_t c) { return LetteraAscii(c) || c == U'-'; });
    if (!lettere || incollato.size() > NumeroSlot) {
        auto chiave = LeggiChiave(testo, criterio);
        if (!chiave.riuscito())
            return chiave.errore();
        return Incollato{chiave.valore(), casella};
    }
    const bool intera = incollato.size() == NumeroSlot;
    const std::size_t da = intera ? 0 : casella;
    Incollato risultato{attuale, intera ? casella : std::min(casella + incollato.size(), NumeroSlot - 1)};
    for (std::size_t i = 0; i < incollato.size() && da + i < NumeroSlot; ++i)
        risultato.chiave[da + i] = incollato[i] == U'-' ? char{0} : Minuscola(incollato[i]);
    return risultato;
}

}  // namespace varnel
