// SPDX-License-Identifier: GPL-3.0-or-later
#include "Cifratura.h"

#include "Codifica.h"
#include "Lettura.h"
#include "Sorteggio.h"

#include <algorithm>
#include <numeric>

namespace varnel {

namespace {

// U+00C0 to U+00FF without their accents; '.' where a character folds to no single letter.
constexpr std::string_view SenzaAccenti = "AAAAAA.CEEEEIIII.NOOOOO.OUUUUY.."
                                          "aaaaaa.ceeeeiiii.nooooo.ouuuuy.y";

bool Accentata(char32_t c) { return c >= 0xC0 && c <= 0xFF && SenzaAccenti[c - 0xC0] != '.'; }

// The letter a–z that a character is, accents folded; 0 for any other.
char LetteraBase(char32_t c)
{
    if (c >= U'a' && c <= U'z')
        return static_cast<char>(c);
    if (c >= U'A' && c <= U'Z')
        return static_cast<char>(c - U'A' + U'a');
    return Accentata(c) ? static_cast<char>(SenzaAccenti[c - 0xC0] | 0x20) : 0;
}

// Combining accents, which a decomposed text writes after their letter.
bool AccentoCombinante(char32_t c) { return c >= 0x300 && c <= 0x36F; }

char32_t Maiuscola(char32_t c)
{
    if (c == 0xFF)
        return 0x178;  // ÿ → Ÿ, outside Latin-1
    return c >= 0xE0 && c <= 0xFE && c != 0xF7 ? c - 0x20 : c;
}
char32_t Minuscola(char32_t c) { return c >= 0xC0 && c <= 0xDE && c != 0xD7 ? c + 0x20 : c; }

Alfabeto AlfabetoDaOrdine(const std::array<char, NumeroSlot>& lettere)
{
    Alfabeto alfabeto{};
    for (std::size_t k = 0; k < NumeroSlot; ++k)
        alfabeto[k] = static_cast<char>(lettere[k] - 'a' + 'A');
    return alfabeto;
}

// Builds the two texts a character at a time, breaking the letters-only layouts into lines.
class Composizione {
public:
    explicit Composizione(Spazi spazi)
        : m_spazi(spazi)
    {
    }
    void lettera(char32_t cifrata, char32_t chiara)
    {
        if (m_spazi != Spazi::Mantieni && m_lettere > 0) {
            if (m_lettere % LetterePerRiga == 0)
                altro(U'\n');
            else if (m_spazi == Spazi::GruppiDiCinque && m_lettere % 5 == 0)
                altro(U' ');
        }
        ++m_lettere;
        m_risultato.cifrato += cifrata;
        m_risultato.chiaro += chiara;
    }
    void altro(char32_t c)
    {
        m_risultato.cifrato += c;
        m_risultato.chiaro += c;
    }
    [[nodiscard]] TestoCifrato risultato() && { return std::move(m_risultato); }

private:
    Spazi m_spazi;
    std::size_t m_lettere = 0;
    TestoCifrato m_risultato;
};

}  // namespace

Alfabeto AlfabetoDaParola(std::u32string_view parola)
{
    std::array<char, NumeroSlot> ordine{};
    std::size_t n = 0;
    const auto aggiungi = [&](char lettera) {
        const auto fine = ordine.begin() + static_cast<std::ptrdiff_t>(n);
        if (lettera && std::find(ordine.begin(), fine, lettera) == fine)
            ordine[n++] = lettera;
    };
    for (const char32_t c : parola)
        aggiungi(LetteraBase(c));
    for (char c = 'a'; c <= 'z'; ++c)
        aggiungi(c);
    return AlfabetoDaOrdine(ordine);
}

Alfabeto AlfabetoCasuale(std::uint64_t seme)
{
    Sorteggio sorteggio(seme);
    std::array<char, NumeroSlot> ordine{};
    for (;;) {
        std::iota(ordine.begin(), ordine.end(), 'a');
        // Fisher and Yates: each place from the last takes one of the letters not yet placed.
        for (std::size_t i = NumeroSlot - 1; i > 0; --i)
            std::swap(ordine[i], ordine[static_cast<std::size_t>(sorteggio.sotto(i + 1))]);
        bool fisso = false;
        for (std::size_t k = 0; k < NumeroSlot; ++k)
            fisso = fisso || ordine[k] == static_cast<char>('a' + k);
        if (!fisso)
            return AlfabetoDaOrdine(ordine);
    }
}

std::optional<Alfabeto> AlfabetoDaTesto(std::u32string_view testo)
{
    if (testo.size() != NumeroSlot)
        return std::nullopt;
    std::array<char, NumeroSlot> ordine{};
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        const char32_t c = testo[k];
        const char lettera = c < U'A' || c > U'z' ? 0 : LetteraBase(c);
        const auto prima = ordine.begin() + static_cast<std::ptrdiff_t>(k);
        if (!lettera || std::find(ordine.begin(), prima, lettera) != prima)
            return std::nullopt;
        ordine[k] = lettera;
    }
    return AlfabetoDaOrdine(ordine);
}

Chiave ChiaveDi(const Alfabeto& alfabeto)
{
    Chiave chiave{};
    for (std::size_t k = 0; k < NumeroSlot; ++k)
        chiave[static_cast<std::size_t>(alfabeto[k] - 'A')] = static_cast<char>('a' + k);
    return chiave;
}

TestoCifrato Cifra(std::u32string_view testo, const Alfabeto& alfabeto, const OpzioniCrittogramma& opzioni)
{
    Composizione composizione(opzioni.spazi);
    const bool mantieni = opzioni.spazi == Spazi::Mantieni;
    for (std::size_t i = 0; i < testo.size(); ++i) {
        char32_t c = testo[i];
        if (AccentoCombinante(c) && (opzioni.togliAccenti || !mantieni))
            continue;
        if (c == U'\r') {
            if (i + 1 < testo.size() && testo[i + 1] == U'\n')
                continue;
            c = U'\n';
        }
        if (c == U'\t')
            c = U' ';
        if (Accentata(c) && !opzioni.togliAccenti)
            composizione.lettera(Maiuscola(c), Minuscola(c));
        else if (const char lettera = LetteraBase(c))
            composizione.lettera(static_cast<char32_t>(alfabeto[static_cast<std::size_t>(lettera - 'a')]),
                                 static_cast<char32_t>(lettera));
        else if (mantieni)
            composizione.altro(c);
    }
    return std::move(composizione).risultato();
}

Conteggi ContaMaiuscole(std::u32string_view cifrato)
{
    Conteggi conteggi{};
    for (const char32_t c : cifrato) {
        if (c >= U'A' && c <= U'Z')
            ++conteggi[c - U'A'];
    }
    return conteggi;
}

std::vector<Riga> Righe(std::u32string_view testo, std::size_t larghezza)
{
    std::vector<Riga> righe;
    std::size_t inizio = 0;
    while (inizio <= testo.size()) {
        const std::size_t fine = std::min(testo.find(U'\n', inizio), testo.size());
        std::size_t da = inizio;
        while (fine - da > larghezza) {
            // The last space that leaves at most `larghezza` characters before it.
            const std::size_t spazio = testo.substr(0, da + larghezza + 1).rfind(U' ');
            const bool aCapo = spazio != std::u32string_view::npos && spazio > da;
            const std::size_t taglio = aCapo ? spazio : da + larghezza;
            righe.push_back({da, taglio - da});
            da = aCapo ? taglio + 1 : taglio;
        }
        righe.push_back({da, fine - da});
        inizio = fine + 1;
    }
    return righe;
}

std::u32string DecodificaTestoInChiaro(std::string_view byte) { return Decodifica(byte); }

Esito<std::u32string> LeggiTestoInChiaro(const std::filesystem::path& percorso)
{
    auto file = FileInLettura::Apri(percorso);
    if (!file.riuscito())
        return file.errore();
    std::string byte;
    const BufferDiLettura memoria(DimensioneBuffer);
    const Avanzamento avanzamento;
    for (;;) {
        const auto letti = file.valore().Leggi(memoria.dati(), avanzamento);
        if (!letti.riuscito())
            return letti.errore();
        if (letti.valore() == 0)
            break;
        byte.append(reinterpret_cast<const char*>(memoria.dati().data()), letti.valore());
    }
    return DecodificaTestoInChiaro(byte);
}

}  // namespace varnel
