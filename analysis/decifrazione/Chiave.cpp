// SPDX-License-Identifier: GPL-3.0-or-later
#include "Cifrario.h"

#include <algorithm>
#include <map>
#include <numeric>

namespace varnel {

namespace {

[[nodiscard]] bool Maiuscola(char32_t c)
{
    return (c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3A9);
}

}  // namespace

MappaSimboli::MappaSimboli(const Criterio& criterio)
    : m_criterio(criterio)
{
}

int MappaSimboli::slot(char32_t c) const
{
    if (const auto* simboli = std::get_if<Simboli>(&m_criterio)) {
        const auto trovato = std::find(simboli->begin(), simboli->end(), c);
        return trovato == simboli->end() ? Nessuno : static_cast<int>(trovato - simboli->begin());
    }
    const auto modo = std::get<ModoLettere>(m_criterio);
    if (modo != ModoLettere::Maiuscole && c >= U'a' && c <= U'z')
        return static_cast<int>(c - U'a');
    if (modo != ModoLettere::Minuscole && c >= U'A' && c <= U'Z')
        return static_cast<int>(c - U'A');
    return Nessuno;
}

Sostituzione::Sostituzione(const Criterio& criterio, const Chiave& chiave)
    : m_mappa(criterio)
    , m_chiave(chiave)
{
}

char32_t Sostituzione::sostituto(char32_t c) const
{
    const int slot = m_mappa.slot(c);
    if (slot == MappaSimboli::Nessuno)
        return 0;
    const char lettera = m_chiave[static_cast<std::size_t>(slot)];
    if (lettera == 0)
        return 0;
    return Maiuscola(c) ? static_cast<char32_t>(lettera - 'a' + 'A') : static_cast<char32_t>(lettera);
}

std::u32string Sostituzione::applica(std::u32string_view testo) const
{
    std::u32string risultato(testo);
    for (char32_t& c : risultato) {
        if (const char32_t s = sostituto(c))
            c = s;
    }
    return risultato;
}

std::array<std::size_t, NumeroSlot> Classifica(const Conteggi& conteggi)
{
    std::array<std::size_t, NumeroSlot> ordine{};
    std::iota(ordine.begin(), ordine.end(), std::size_t{0});
    std::stable_sort(ordine.begin(), ordine.end(), [&](std::size_t a, std::size_t b) { return conteggi[a] > conteggi[b]; });
    return ordine;
}

std::array<std::size_t, NumeroSlot> ClassificaLettere(Lingua lingua)
{
    const auto& frequenze = FrequenzeLettere(lingua);
    std::array<std::size_t, NumeroSlot> ordine{};
    std::iota(ordine.begin(), ordine.end(), std::size_t{0});
    std::stable_sort(ordine.begin(), ordine.end(), [&](std::size_t a, std::size_t b) { return frequenze[a] > frequenze[b]; });
    return ordine;
}

Chiave ChiavePerFrequenza(const Conteggi& conteggi, Lingua lingua)
{
    const auto simboli = Classifica(conteggi);
    const auto lettere = ClassificaLettere(lingua);
    Chiave chiave{};
    for (std::size_t k = 0; k < NumeroSlot; ++k)
        chiave[simboli[k]] = static_cast<char>('a' + lettere[k]);
    return chiave;
}

double IndiceCoincidenza(const Conteggi& conteggi)
{
    double coppie = 0;
    double totale = 0;
    for (const auto n : conteggi) {
        const auto x = static_cast<double>(n);
        coppie += x * (x - 1);
        totale += x;
    }
    return totale < 2 ? 0.0 : coppie / (totale * (totale - 1));
}

double IndiceCoincidenzaLingua(Lingua lingua)
{
    double somma = 0;
    for (const double p : FrequenzeLettere(lingua))
        somma += (p / 100) * (p / 100);
    return somma;
}

std::vector<std::uint8_t> SequenzaSimboli(std::u32string_view testo, const Criterio& criterio)
{
    const MappaSimboli mappa(criterio);
    std::vector<std::uint8_t> sequenza;
    for (const char32_t c : testo) {
        const int slot = mappa.slot(c);
        if (slot != MappaSimboli::Nessuno)
            sequenza.push_back(static_cast<std::uint8_t>(slot));
        else if (!sequenza.empty() && sequenza.back() != Separatore)
            sequenza.push_back(Separatore);
    }
    return sequenza;
}

namespace {

// An n-gram as one number in base 27, which orders n-grams of one length as the window orders slots.
using Conti = std::map<std::uint32_t, std::uint64_t>;

std::vector<Ngramma> PiuFrequenti(const Conti& conti, std::size_t lunghezza, std::size_t quanti)
{
    std::vector<Ngramma> tutti;
    for (const auto& [codice, n] : conti) {
        Ngramma ngramma{std::vector<std::uint8_t>(lunghezza), n};
        auto resto = codice;
        for (std::size_t k = lunghezza; k-- > 0; resto /= 27)
            ngramma.slot[k] = static_cast<std::uint8_t>(resto % 27);
        tutti.push_back(std::move(ngramma));
    }
    std::stable_sort(tutti.begin(), tutti.end(), [](const Ngramma& a, const Ngramma& b) { return a.conteggio > b.conteggio; });
    if (tutti.size() > quanti)
        tutti.resize(quanti);
    return tutti;
}

}  // namespace

std::vector<Ngramma> NgrammiFrequenti(std::span<const std::uint8_t> sequenza, std::size_t lunghezza, std::size_t quanti)
{
    Conti conti;
    for (std::size_t i = 0; i + lunghezza <= sequenza.size(); ++i) {
        std::uint32_t codice = 0;
        bool intero = true;
        for (std::size_t k = 0; k < lunghezza; ++k) {
            intero = intero && sequenza[i + k] != Separatore;
            codice = codice * 27 + sequenza[i + k];
        }
        if (intero)
            ++conti[codice];
    }
    return PiuFrequenti(conti, lunghezza, quanti);
}

std::vector<Ngramma> Doppie(std::span<const std::uint8_t> sequenza)
{
    Conti conti;
    for (std::size_t i = 0; i + 1 < sequenza.size(); ++i) {
        if (sequenza[i] != Separatore && sequenza[i] == sequenza[i + 1])
            ++conti[sequenza[i] * 27u + sequenza[i]];
    }
    return PiuFrequenti(conti, 2, NumeroSlot);
}

}  // namespace varnel
