// SPDX-License-Identifier: GPL-3.0-or-later
// A key worked by hand: history, free letters and symbols, doubles, the classic convention, the
// key as text and pasted.
#include "ChiaveInLavoro.h"

#include <gtest/gtest.h>

using namespace varnel;

namespace {

// A key as 26 characters in window order, '-' for no letter; shorter strings end in '-'.
Chiave K(std::string_view lettere)
{
    Chiave chiave{};
    for (std::size_t k = 0; k < lettere.size(); ++k)
        chiave[k] = lettere[k] == '-' ? char{0} : lettere[k];
    return chiave;
}

std::string Scritta(const Chiave& chiave)
{
    std::string lettere;
    for (const char c : chiave)
        lettere += c ? c : '-';
    return lettere.substr(0, lettere.find_last_not_of('-') + 1);
}

// The lines after the comment that opens a written key.
std::string Coppie(const std::string& scritta) { return scritta.substr(scritta.find('\n') + 1); }

// Slot 0 '1', 1 'Σ', 2 emoji, 3 'q', 4 'Q', 5 ' ', 6 '#', 7 '=', 8 tab, then letters.
const Simboli Avanzati = [] {
    Simboli s{};
    const std::u32string primi = U"1Σ\U0001F600qQ #=\tbcdefghijklmnoprs";
    std::copy(primi.begin(), primi.end(), s.begin());
    return s;
}();

TEST(StoriaChiave, UndoRedoAndNewStepsDropTheUndone)
{
    StoriaChiave storia;
    EXPECT_FALSE(storia.daAnnullare());
    EXPECT_FALSE(storia.cambia({}, Modifica::Azzerata));  // no change, no step
    EXPECT_TRUE(storia.cambia(K("x"), Modifica::Digitata));
    EXPECT_TRUE(storia.cambia(K("xyz"), Modifica::Proposta));
    EXPECT_EQ(storia.daAnnullare(), Modifica::Proposta);
    EXPECT_TRUE(storia.annulla());
    EXPECT_EQ(Scritta(storia.attuale()), "x");
    EXPECT_EQ(storia.daRipetere(), Modifica::Proposta);
    EXPECT_TRUE(storia.ripeti());
    EXPECT_EQ(Scritta(storia.attuale()), "xyz");
    EXPECT_TRUE(storia.annulla());
    EXPECT_TRUE(storia.cambia(K("xa"), Modifica::Digitata));
    EXPECT_FALSE(storia.ripeti());
    EXPECT_TRUE(storia.annulla() && storia.annulla());
    EXPECT_EQ(Scritta(storia.attuale()), "");
    EXPECT_FALSE(storia.annulla());

    // Only the last steps are kept.
    for (std::size_t i = 0; i < StoriaChiave::PassiRicordati + 5; ++i)
        storia.cambia(K(i % 2 ? "a" : "b"), Modifica::Digitata);
    std::size_t annullati = 0;
    while (storia.annulla())
        ++annullati;
    EXPECT_EQ(annullati, StoriaChiave::PassiRicordati);
    storia.ricomincia();
    EXPECT_FALSE(storia.daRipetere());
}

TEST(ChiaveInLavoro, FreeLettersFreeSymbolsAndDoubles)
{
    const Chiave chiave = K("e-ab-e");
    EXPECT_EQ(LettereNonUsate(chiave), InsiemeSlot((1u << 26) - 1 - 0b10011));
    EXPECT_EQ(SimboliSenzaLettera(chiave), InsiemeSlot((1u << 26) - 1 - 0b101101));
    EXPECT_EQ(Doppioni(chiave), InsiemeSlot(0b100001));
}

TEST(Convenzione, PlainLowercaseTheRestUppercase)
{
    const struct {
        Criterio criterio;
        std::string_view chiave;  // q is slot 16, x slot 23
        std::u32string testo, atteso;
        std::string segni;  // per character: '.' as in the text, 's' replaced, 'd' replaced by a double
    } casi[] = {
        {ModoLettere::SenzaDistinzione, "----------------e", U"Qq xè!ÿς", U"ee XÈ!ŸΣ", "ss......"},
        {ModoLettere::Minuscole, "----------------e", U"Qq", U"Qe", ".s"},
        {ModoLettere::Maiuscole, "----------------e", U"Qq", U"eQ", "s."},
        {ModoLettere::SenzaDistinzione, "----------------e------e", U"qax", U"eAe", "d.d"},
        {Avanzati, "abcde", U"1Σ\U0001F600qQ7яz", U"abcde7ЯZ", "sssss..."},
    };
    for (const auto& c : casi) {
        const auto segnato = ConvenzioneClassica(c.testo, c.criterio, K(c.chiave));
        EXPECT_EQ(segnato.testo, c.atteso);
        std::string segni;
        for (const Segno s : segnato.segni)
            segni += s == Segno::Cifrato ? '.' : s == Segno::Sostituito ? 's' : 'd';
        EXPECT_EQ(segni, c.segni);
    }
}

TEST(TestoChiave, WrittenAsPairsAndReadBack)
{
    EXPECT_EQ(ScriviChiave(K("e-----------------------a"), ModoLettere::SenzaDistinzione),
              "# Chiave di Varnel: simbolo cifrato=lettera in chiaro\na=e\ny=a\n");
    EXPECT_EQ(Coppie(ScriviChiave(K("e"), ModoLettere::Maiuscole)), "A=e\n");
    EXPECT_EQ(Coppie(ScriviChiave(K("abcdefghi"), Avanzati)),
              "1=a\nΣ=b\n\U0001F600=c\nq=d\nQ=e\nU+0020=f\nU+0023=g\n==h\nU+0009=i\n");
    for (const auto& [criterio, chiave] : {std::pair<Criterio, Chiave>{ModoLettere::Minuscole, K("zyx-w")},
                                           std::pair<Criterio, Chiave>{Avanzati, K("abcdefghij-k")}}) {
        const auto letta = LeggiChiave(ScriviChiave(chiave, criterio), criterio);
        ASSERT_TRUE(letta.riuscito()) << letta.errore().dettaglio;
        EXPECT_EQ(Scritta(letta.valore()), Scritta(chiave));
    }
    // By hand: a byte-order mark, CR LF, blank lines, comments, spaces round '=', either case.
    const auto aMano = LeggiChiave("\xEF\xBB\xBF# mia\r\n\r\n  \nB = E \r\nU+0061=f\nc=G", ModoLettere::Minuscole);
    ASSERT_TRUE(aMano.riuscito()) << aMano.errore().dettaglio;
    EXPECT_EQ(Scritta(aMano.valore()), "feg");
}

TEST(TestoChiave, AnyOtherLineRefusesTheWholeNamingIt)
{
    const std::pair<std::string_view, std::string_view> casi[] = {
        {"a=e\nbad\n", "riga 2, «bad»: non è una coppia simbolo=lettera"},
        {"a=ee", "riga 1, «a=ee»: non è"},
        {"a=1", "riga 1, «a=1»: non è"},
        {"=e", "riga 1, «=e»: non è"},
        {"U+00ZZ=e", "riga 1, «U+00ZZ=e»: non è"},
        {"# c\n1=e", "riga 2, «1=e»: il simbolo non è tra quelli contati"},
        {"a=e\nA=f", "riga 2, «A=f»: il simbolo ha già una lettera"},
        {"a=e\n\xFF", "non è un testo UTF-8"},
        {std::string_view("a=e\n\0=a", 7), "riga 2"},
    };
    for (const auto& [testo, messaggio] : casi) {
        const auto letta = LeggiChiave(testo, ModoLettere::SenzaDistinzione);
        ASSERT_FALSE(letta.riuscito()) << testo;
        EXPECT_TRUE(letta.errore().dettaglio.starts_with(messaggio)) << letta.errore().dettaglio;
    }
    // A file opened as a key: comments up to the limit are still a key, a byte more is no key file.
    std::string file = "a=e\n#";
    file.resize(LimiteFileChiave, 'x');
    EXPECT_TRUE(LeggiFileChiave(file, ModoLettere::SenzaDistinzione).riuscito());
    file += 'x';
    EXPECT_EQ(LeggiFileChiave(file, ModoLettere::SenzaDistinzione).errore().dettaglio, "è troppo lungo per una chiave");
}

struct CasoIncolla {
    std::string_view testo;
    std::size_t casella;
    std::string atteso;  // the key after it, from "qr" before
    std::size_t cursore;
};

TEST(Incolla, TypedFromTheBoxOrTheWholeKey)
{
    const CasoIncolla casi[] = {
        {"xzk", 0, "xzk", 3},  // typed from the box on
        {"e", 1, "qe", 2},
        {"XY\n", 24, "qr----------------------xy", 25},                          // stops at the last box
        {"-", 0, "-r", 1},                                                       // clears
        {"  bcdefghijklmnopqrstuvwxyZa\n", 5, "bcdefghijklmnopqrstuvwxyza", 5},  // 26 letters: the whole key
        {"--c-----------------------", 9, "--c", 9},
        {"# chiave\nb=e\nC=l\n", 4, "-el", 4},  // pairs: the whole key
        {"", 3, "qr", 3},                       // nothing
    };
    for (const auto& c : casi) {
        const auto incollato = Incolla(c.testo, ModoLettere::SenzaDistinzione, K("qr"), c.casella);
        ASSERT_TRUE(incollato.riuscito()) << c.testo;
        EXPECT_EQ(Scritta(incollato.valore().chiave), c.atteso) << c.testo;
        EXPECT_EQ(incollato.valore().casella, c.cursore) << c.testo;
    }
    for (const std::string_view rifiutato : {"ab cd", "abcdefghijklmnopqrstuvwxyza", "è"})
        EXPECT_TRUE(Incolla(rifiutato, ModoLettere::SenzaDistinzione, {}, 0).errore().dettaglio.starts_with("riga 1"))
            << rifiutato;
}

}  // namespace
