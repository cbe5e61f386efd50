// SPDX-License-Identifier: GPL-3.0-or-later
// The measured language tables, the proposed key on short cryptograms, the model of words, the
// completed key, and the easy cases.
#include "Aiuti.h"
#include "Cifrario.h"
#include "Sorteggio.h"
#include "TabelleLingue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

using namespace varnel;
using varnel::prova::MotivoDi;

namespace {

TEST(FrequenzeMisurate, NearThePublishedTable)
{
    const struct {
        Lingua lingua;
        std::string lettere;        // the published most frequent letters, in their order
        std::vector<double> quote;  // and their percentages
        bool primeInOrdine;         // they are the table's first letters, in some order
    } riferimenti[] = {{Lingua::Italiano, "eaio", {11.8, 11.7, 11.3, 9.8}, true},
                       {Lingua::Inglese, "etao", {12.7, 9.1, 8.2, 7.5}, false}};
    for (const auto& r : riferimenti) {
        const auto& f = FrequenzeLettere(r.lingua);
        EXPECT_NEAR(std::accumulate(f.begin(), f.end(), 0.0), 100.0, 0.01);
        for (std::size_t i = 0; i < r.lettere.size(); ++i)
            EXPECT_NEAR(f[static_cast<std::size_t>(r.lettere[i] - 'a')], r.quote[i], 1.5) << r.lettere[i];
        if (!r.primeInOrdine)
            continue;
        std::vector<double> ordinate(f.begin(), f.end());
        std::sort(ordinate.begin(), ordinate.end(), std::greater<>());
        for (const char c : r.lettere)
            EXPECT_GE(f[static_cast<std::size_t>(c - 'a')], ordinate[r.lettere.size() - 1]) << c;
    }
}

TEST(Quadrigrammi, CommonOnesOutrankRareOnes)
{
    const auto indice = [](const char* q) {
        std::size_t i = 0;
        for (int k = 0; k < 4; ++k)
            i = i * 26 + static_cast<std::size_t>(q[k] - 'a');
        return i;
    };
    const auto& it = Quadrigrammi(Lingua::Italiano);
    const auto& en = Quadrigrammi(Lingua::Inglese);
    EXPECT_GT(it[indice("ella")], it[indice("thin")]);
    EXPECT_GT(en[indice("thin")], en[indice("ella")]);
    EXPECT_EQ(it[indice("qqqq")], 0);
}

struct Cifrato {
    std::u32string testo;
    std::vector<std::uint8_t> sequenza;
    Conteggi conteggi{};
};

// The letters of `chiaro` replaced: plain letter p becomes cifra[p].
Cifrato Cifra(std::string_view chiaro, const std::array<char, 26>& cifra)
{
    Cifrato c;
    for (const char x : chiaro) {
        const bool lettera = x >= 'a' && x <= 'z';
        const char y = lettera ? cifra[static_cast<std::size_t>(x - 'a')] : x;
        c.testo += static_cast<char32_t>(y);
        if (lettera)
            ++c.conteggi[static_cast<std::size_t>(y - 'a')];
    }
    c.sequenza = SequenzaSimboli(c.testo, ModoLettere::Minuscole);
    return c;
}

// The same for a seed with every standard library.
std::array<char, 26> CifraCasuale(std::uint64_t seme)
{
    Sorteggio sorteggio(seme);
    std::array<char, 26> cifra{};
    std::iota(cifra.begin(), cifra.end(), 'a');
    for (std::size_t i = 25; i > 0; --i)
        std::swap(cifra[i], cifra[sorteggio.prossimo() % (i + 1)]);
    return cifra;
}

// Plain letter p becomes a·p + b.
Chiave CifraAffine(int a, int b)
{
    Chiave cifra{};
    for (int p = 0; p < 26; ++p)
        cifra[static_cast<std::size_t>(p)] = static_cast<char>('a' + (a * p + b) % 26);
    return cifra;
}

// The key that reads back a text enciphered with `cifra`.
Chiave Inversa(const Chiave& cifra)
{
    Chiave chiave{};
    for (std::size_t p = 0; p < 26; ++p)
        chiave[static_cast<std::size_t>(cifra[p] - 'a')] = static_cast<char>('a' + p);
    return chiave;
}

std::size_t Sbagliate(std::string_view chiaro, const Cifrato& cifrato, const Chiave& chiave)
{
    const auto decifrato = Sostituzione(ModoLettere::Minuscole, chiave).applica(cifrato.testo);
    std::size_t sbagliate = 0;
    for (std::size_t i = 0; i < chiaro.size(); ++i)
        sbagliate += decifrato[i] != static_cast<char32_t>(chiaro[i]) ? 1u : 0u;
    return sbagliate;
}

// Cut from fortunes held out of the tables, 40 to 200 letters, spaces and punctuation kept.
TEST(RisolveBreve, HeldOutQuotationTheSameEveryRun)
{
    const struct {
        Lingua lingua;
        std::uint64_t seme;
        std::string chiaro;
    } casi[] = {
        {Lingua::Italiano, 1, "sono dentro un ascensore che sta precipitando: s"},
        {Lingua::Italiano, 2, "\"io sto alle donne come un diabetico sta alla meringata.\""},
        {Lingua::Inglese, 3, "\"consistency requires you to be as ignorant toda"},
        {Lingua::Inglese, 4, "\"whoever undertakes to set himself up as a judge of truth and knowledge is"},
        {Lingua::Italiano, 10,
         "tra i due veniva posta una bottiglia di janx, il liquore immortalato in quella vecchia canzone dei minatori "
         "di orione, che dice: oh non datemi piu' quel vecchio liquore janx no, non datemi piu' il vecchio janx "
         "altrimenti la testa mi vola via, la lingu"},
        {Lingua::Inglese, 11,
         "a famous lisp hacker noticed an undergraduate sitting in front of a xerox 1108, trying to edit a complex "
         "klone network via a browser. wanting to help, the hacker clicked one of the nodes in the network with the "
         "mouse, and asked \"what do you see?\" very earnes"},
    };
    for (const auto& b : casi) {
        SCOPED_TRACE(b.chiaro);
        const auto cifrato = Cifra(b.chiaro, CifraCasuale(b.seme));
        Avanzamento avanzamento;
        const auto chiave = ProponiChiave(cifrato.sequenza, cifrato.conteggi, b.lingua, avanzamento);
        ASSERT_TRUE(chiave.riuscito());
        // Solved: nine letters in ten right (a letter the text has once may stay ambiguous).
        const auto lettere = static_cast<std::size_t>(
            std::count_if(b.chiaro.begin(), b.chiaro.end(), [](char x) { return x >= 'a' && x <= 'z'; }));
        EXPECT_LE(10 * Sbagliate(b.chiaro, cifrato, chiave.valore()), lettere);
        EXPECT_EQ(ProponiChiave(cifrato.sequenza, cifrato.conteggi, b.lingua, avanzamento).valore(), chiave.valore());
        Avanzamento annullato;
        annullato.annulla();
        EXPECT_EQ(MotivoDi(ProponiChiave(cifrato.sequenza, cifrato.conteggi, b.lingua, annullato)), Motivo::Annullata);
    }
}

TEST(ModelloParole, TrueTextOutscoresTheLetterModelsWrongKey)
{
    const struct {
        Lingua lingua;
        std::string chiaro;
        std::string_view sbagliata;  // the best key the letters alone know: above the true one without spaces
    } casi[] = {
        {Lingua::Italiano, "\"cicciolina e' stata l'unico politico a farsi fare", "ejswndyhabqczmifgltrokxvpu"},
        {Lingua::Inglese, "\"never face facts; if you do, you'll never get up in th", "fzldeobpwvqtuhagjscinryxmk"},
    };
    const auto identita = CifraAffine(1, 0);
    for (const auto& c : casi) {
        const Chiave sbagliata = prova::ChiaveDa(c.sbagliata);
        std::string lettere;
        std::copy_if(c.chiaro.begin(), c.chiaro.end(), std::back_inserter(lettere),
                     [](char x) { return x >= 'a' && x <= 'z'; });
        const auto conSpazi = Cifra(c.chiaro, identita);
        const auto senzaSpazi = Cifra(lettere, identita);
        EXPECT_GT(PunteggioChiave(senzaSpazi.sequenza, sbagliata, c.lingua),
                  PunteggioChiave(senzaSpazi.sequenza, identita, c.lingua));
        EXPECT_GT(PunteggioChiave(conSpazi.sequenza, identita, c.lingua),
                  PunteggioChiave(conSpazi.sequenza, sbagliata, c.lingua));
    }
}

TEST(Completa, NeverChangesALockedLetter)
{
    const std::string_view chiaro = "\"most of us, when all is said and done, like what we like and make up reasons fo";
    const auto cifrato = Cifra(chiaro, CifraCasuale(5));
    // Letters by slot, '-' for a free one: none, one wrong, several, the same twice, all but two, all.
    for (const std::string_view bloccate :
         {"", "q", "zyx--w---v", "ee-------e", "abcdefghijklmnopqrstuvwx--", "qwertyuiopasdfghjklzxcvbnm"}) {
        SCOPED_TRACE(bloccate);
        const Chiave parziale = prova::ChiaveDa(bloccate);
        Avanzamento avanzamento;
        const auto esito = CompletaChiave(cifrato.sequenza, cifrato.conteggi, Lingua::Inglese, parziale, avanzamento);
        ASSERT_TRUE(esito.riuscito());
        const auto& chiave = esito.valore();
        // Every slot gets a letter; a free slot none of the kept ones, nor one another free slot has.
        for (std::size_t s = 0; s < NumeroSlot; ++s) {
            EXPECT_TRUE(chiave[s] >= 'a' && chiave[s] <= 'z') << "slot " << s;
            if (parziale[s] != 0) {
                EXPECT_EQ(chiave[s], parziale[s]) << "slot " << s;
            } else {
                EXPECT_EQ(std::count(parziale.begin(), parziale.end(), chiave[s]), 0) << "slot " << s;
                EXPECT_EQ(std::count(chiave.begin(), chiave.end(), chiave[s]), 1) << "slot " << s;
            }
        }
        Avanzamento annullato;
        annullato.annulla();
        if (std::count(parziale.begin(), parziale.end(), char{0}) > 1) {
            EXPECT_EQ(
                MotivoDi(CompletaChiave(cifrato.sequenza, cifrato.conteggi, Lingua::Inglese, parziale, annullato)),
                Motivo::Annullata);
        }
    }
}

TEST(Completa, RightLettersKeptLeadToTheText)
{
    const std::string_view chiaro = "\"a child is a person who can't understand why someo";
    const auto cifra = CifraCasuale(6);
    const auto cifrato = Cifra(chiaro, cifra);
    Chiave parziale{};
    for (const char p : std::string_view("aeo"))  // three letters the student has guessed
        parziale[static_cast<std::size_t>(cifra[static_cast<std::size_t>(p - 'a')] - 'a')] = p;
    // The page's worker cannot watch from another thread: it is told each step as it is made.
    static std::uint64_t detto = 0;
    Avanzamento avanzamento;
    avanzamento.osserva([](const Avanzamento& a) { detto = a.letti(); });
    const auto chiave = CompletaChiave(cifrato.sequenza, cifrato.conteggi, Lingua::Inglese, parziale, avanzamento);
    EXPECT_EQ(Sbagliate(chiaro, cifrato, chiave.valore()), 0u);
    EXPECT_GT(detto, 0u);
    EXPECT_EQ(detto, avanzamento.letti());
}

TEST(RiconosciAffine, ShiftsAndAffineMapsOnlyWhenTheKeyIsOne)
{
    const std::string_view chiaro = "the quick brown fox jumps over the lazy dog";
    for (const auto& [a, b] : {std::pair{1, 3}, {1, 25}, {5, 8}, {25, 25}})
        EXPECT_EQ(RiconosciAffine(Inversa(CifraAffine(a, b)), Cifra(chiaro, CifraAffine(a, b)).conteggi),
                  (Affine{a, b}))
            << a << ' ' << b;
    const auto cifrato = Cifra(chiaro, CifraCasuale(7));
    for (std::uint64_t seme = 8; seme < 40; ++seme)
        EXPECT_EQ(RiconosciAffine(CifraCasuale(seme), cifrato.conteggi), std::nullopt) << seme;
    Chiave quasi = Inversa(CifraAffine(1, 3));
    std::swap(quasi['e' - 'a'], quasi['h' - 'a']);  // a shift but for two letters of the text
    EXPECT_EQ(RiconosciAffine(quasi, Cifra(chiaro, CifraCasuale(1)).conteggi), std::nullopt);
    EXPECT_EQ(RiconosciAffine(quasi, Cifra(std::string_view("ebbe"), CifraAffine(1, 0)).conteggi), std::nullopt);
}

TEST(Riconosci, SeveralAlphabetsOrOneTooShortATextAndShiftsOfLettersOnly)
{
    const std::string chiaro =
        "a famous lisp hacker noticed an undergraduate sitting in front of a xerox trying to edit a complex "
        "klone network via a browser wanting to help the hacker clicked one of the nodes in the network with "
        "the mouse and asked what do you see very earnestly the undergraduate replied i see a cursor the "
        "hacker then quickly pressed the boot toggle at the back of the keyboard while simultaneously "
        "hitting the escape key the machine rebooted";
    const auto identita = CifraAffine(1, 0);
    const auto piano = Cifra(chiaro, identita);
    const auto sostituito = Cifra(chiaro, CifraCasuale(9));
    std::string vigenere;
    const std::string_view verme = "lemon";
    for (std::size_t i = 0, k = 0; i < chiaro.size(); ++i) {
        const char x = chiaro[i];
        vigenere += x >= 'a' && x <= 'z' ? static_cast<char>('a' + (x - 'a' + verme[k++ % 5] - 'a') % 26) : x;
    }
    const auto polialfabetico = Cifra(vigenere, identita);
    EXPECT_FALSE(SostituzioneImprobabile(piano.conteggi, Lingua::Inglese));
    EXPECT_FALSE(SostituzioneImprobabile(sostituito.conteggi, Lingua::Inglese));
    EXPECT_TRUE(SostituzioneImprobabile(polialfabetico.conteggi, Lingua::Inglese));
    EXPECT_TRUE(SostituzioneImprobabile(polialfabetico.conteggi, Lingua::Italiano));
    EXPECT_FALSE(SostituzioneImprobabile(Cifra(vigenere.substr(0, 40), identita).conteggi, Lingua::Inglese));
    // What the deciphering window says: a shift only where the slots are the letters a–z.
    const auto cesare = CifraAffine(1, 3);
    Simboli digitati{};
    for (std::size_t k = 0; k < NumeroSlot; ++k)
        digitati[k] = static_cast<char32_t>(U'a' + k);
    Conteggi novantanove{};
    novantanove[0] = SimboliAffidabili - 1;
    Conteggi cento{};
    cento[0] = SimboliAffidabili;
    const struct {
        Criterio criterio;
        Conteggi conteggi;
        Chiave chiave;
        Riconosciuto atteso;
    } casi[] = {
        {ModoLettere::Minuscole,
         Cifra(chiaro, cesare).conteggi,
         Inversa(cesare),
         {false, Verdetto::Probabile, Affine{1, 3}}},
        {digitati, Cifra(chiaro, cesare).conteggi, Inversa(cesare), {false, Verdetto::Probabile, std::nullopt}},
        {ModoLettere::Maiuscole, polialfabetico.conteggi, Chiave{}, {false, Verdetto::Improbabile, std::nullopt}},
        {ModoLettere::Minuscole, novantanove, Chiave{}, {true, Verdetto::Probabile, std::nullopt}},
        {ModoLettere::Minuscole, cento, Chiave{}, {false, Verdetto::Probabile, std::nullopt}},
    };
    for (const auto& c : casi)
        EXPECT_EQ(Riconosci(c.chiave, c.conteggi, c.criterio, Lingua::Inglese), c.atteso) << c.conteggi[0];
}

}  // namespace
