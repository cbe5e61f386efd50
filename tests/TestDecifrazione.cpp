// SPDX-License-Identifier: GPL-3.0-or-later
// The deciphering core: a key worked by hand (history, free letters and symbols, doubles, the
// classic convention, the key as text and pasted), the text under it, the ranks, the statistics and
// the saved file.
#include "Aiuti.h"
#include "ChiaveInLavoro.h"
#include "Cifrario.h"
#include "DecodificaFlusso.h"

#include <gtest/gtest.h>

using namespace varnel;
using namespace varnel::prova;

namespace {

// A key as ChiaveDa() takes it, without the empty slots at its end.
std::string Scritta(const Chiave& chiave)
{
    std::string lettere;
    for (const char c : chiave)
        lettere += c ? c : '-';
    return lettere.substr(0, lettere.find_last_not_of('-') + 1);
}

// The lines after the comment that opens a written key.
std::string Coppie(const std::string& scritta) { return scritta.substr(scritta.find('\n') + 1); }

// Slot 0 '1', 1 'Σ', 2 emoji, 3 'q', 4 'Q', 5 ' ', 6 '#', 7 '=', 8 tab, 9 'à', then letters.
const Simboli Avanzati = SimboliDaTesto(U"1Σ\U0001F600qQ #=\tàbcdefghijklmnopr").value();

TEST(StoriaChiave, UndoRedoAndNewStepsDropTheUndone)
{
    StoriaChiave storia;
    EXPECT_FALSE(storia.daAnnullare());
    EXPECT_FALSE(storia.cambia({}, Modifica::Azzerata));  // no change, no step
    EXPECT_TRUE(storia.cambia(ChiaveDa("x"), Modifica::Digitata));
    EXPECT_TRUE(storia.cambia(ChiaveDa("xyz"), Modifica::Proposta));
    EXPECT_EQ(storia.daAnnullare(), Modifica::Proposta);
    EXPECT_TRUE(storia.annulla());
    EXPECT_EQ(Scritta(storia.attuale()), "x");
    EXPECT_EQ(storia.daRipetere(), Modifica::Proposta);
    EXPECT_TRUE(storia.ripeti());
    EXPECT_EQ(Scritta(storia.attuale()), "xyz");
    EXPECT_TRUE(storia.annulla());
    EXPECT_TRUE(storia.cambia(ChiaveDa("xa"), Modifica::Digitata));
    EXPECT_FALSE(storia.ripeti());
    EXPECT_TRUE(storia.annulla() && storia.annulla());
    EXPECT_EQ(Scritta(storia.attuale()), "");
    EXPECT_FALSE(storia.annulla());

    // Only the last steps are kept.
    for (std::size_t i = 0; i < StoriaChiave::PassiRicordati + 5; ++i)
        storia.cambia(ChiaveDa(i % 2 ? "a" : "b"), Modifica::Digitata);
    std::size_t annullati = 0;
    while (storia.annulla())
        ++annullati;
    EXPECT_EQ(annullati, StoriaChiave::PassiRicordati);
    storia.ricomincia();
    EXPECT_FALSE(storia.daRipetere());
}

TEST(ChiaveInLavoro, FreeLettersFreeSymbolsAndDoubles)
{
    const Chiave chiave = ChiaveDa("e-ab-e");
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
        const auto segnato = ConvenzioneClassica(c.testo, c.criterio, ChiaveDa(c.chiave));
        EXPECT_EQ(segnato.testo, c.atteso);
        std::string segni;
        for (const Segno s : segnato.segni)
            segni += s == Segno::Cifrato ? '.' : s == Segno::Sostituito ? 's' : 'd';
        EXPECT_EQ(segni, c.segni);
    }
}

TEST(TestoChiave, WrittenAsPairsAndReadBack)
{
    EXPECT_EQ(ScriviChiave(ChiaveDa("e-----------------------a"), ModoLettere::SenzaDistinzione),
              "# Chiave di Varnel: simbolo cifrato=lettera in chiaro\na=e\ny=a\n");
    EXPECT_EQ(Coppie(ScriviChiave(ChiaveDa("e"), ModoLettere::Maiuscole)), "A=e\n");
    EXPECT_EQ(Coppie(ScriviChiave(ChiaveDa("abcdefghi"), Avanzati)),
              "1=a\nΣ=b\n\U0001F600=c\nq=d\nQ=e\nU+0020=f\nU+0023=g\n==h\nU+0009=i\n");
    for (const auto& [criterio, chiave] : {std::pair<Criterio, Chiave>{ModoLettere::Minuscole, ChiaveDa("zyx-w")},
                                           std::pair<Criterio, Chiave>{Avanzati, ChiaveDa("abcdefghij-k")}}) {
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
        const auto incollato = Incolla(c.testo, ModoLettere::SenzaDistinzione, ChiaveDa("qr"), c.casella);
        ASSERT_TRUE(incollato.riuscito()) << c.testo;
        EXPECT_EQ(Scritta(incollato.valore().chiave), c.atteso) << c.testo;
        EXPECT_EQ(incollato.valore().casella, c.cursore) << c.testo;
    }
    for (const std::string_view rifiutato : {"ab cd", "abcdefghijklmnopqrstuvwxyza", "è"})
        EXPECT_TRUE(Incolla(rifiutato, ModoLettere::SenzaDistinzione, {}, 0).errore().dettaglio.starts_with("riga 1"))
            << rifiutato;
}

TEST(Sostituisce, KeepsCaseAndLeavesTheRest)
{
    const struct {
        Criterio criterio;
        Chiave chiave;
        std::u32string testo, atteso;
    } casi[] = {
        {ModoLettere::SenzaDistinzione, ChiaveDa("----------------e"), U"Qq xè!\r\n", U"Ee xè!\r\n"},
        {ModoLettere::Minuscole, ChiaveDa("----------------e"), U"Qq", U"Qe"},
        {ModoLettere::Maiuscole, ChiaveDa("----------------e"), U"Qq", U"Eq"},
        {ModoLettere::SenzaDistinzione, ChiaveDa("----------------e"), U"xyz", U"xyz"},  // no letter, no change
        {Avanzati, ChiaveDa("thxzk"), U"1Σ\U0001F600qQ1x", U"tHxzKtx"},                  // exact symbols
    };
    for (const auto& c : casi)
        EXPECT_EQ(Sostituzione(c.criterio, c.chiave).applica(c.testo), c.atteso);
}

TEST(Classifica, EqualCountsKeepWindowOrder)
{
    Conteggi conteggi{};
    conteggi[3] = 5, conteggi[1] = 5, conteggi[7] = 9, conteggi[25] = 5, conteggi[0] = 1;
    const auto ordine = Classifica(conteggi);
    const std::vector<std::size_t> primi(ordine.begin(), ordine.begin() + 6);
    EXPECT_EQ(primi, (std::vector<std::size_t>{7, 1, 3, 25, 0, 2}));
    // The frequency key gives the language's letters down that order.
    const auto chiave = ChiavePerFrequenza(conteggi, Lingua::Italiano);
    const auto lettere = ClassificaLettere(Lingua::Italiano);
    EXPECT_EQ(chiave[7], 'a' + static_cast<char>(lettere[0]));
    EXPECT_EQ(chiave[25], 'a' + static_cast<char>(lettere[3]));
}

TEST(Statistiche, ShortTextByHand)
{
    // "abba, cab": a 3, b 3, c 1; N = 7, Σ n(n−1) = 12, N(N−1) = 42.
    Conteggi conteggi{};
    conteggi[0] = 3, conteggi[1] = 3, conteggi[2] = 1;
    EXPECT_DOUBLE_EQ(IndiceCoincidenza(conteggi), 12.0 / 42.0);
    EXPECT_EQ(IndiceCoincidenza(Conteggi{}), 0.0);
    EXPECT_NEAR(IndiceCoincidenzaLingua(Lingua::Italiano), 0.074, 0.004);
    EXPECT_NEAR(IndiceCoincidenzaLingua(Lingua::Inglese), 0.066, 0.004);

    const auto sequenza = SequenzaSimboli(U"abba, cab", ModoLettere::Minuscole);
    EXPECT_EQ(sequenza, (std::vector<std::uint8_t>{0, 1, 1, 0, Separatore, 2, 0, 1}));
    using N = std::vector<Ngramma>;
    EXPECT_EQ(NgrammiFrequenti(sequenza, 2, 10), (N{{{0, 1}, 2}, {{1, 0}, 1}, {{1, 1}, 1}, {{2, 0}, 1}}));
    EXPECT_EQ(NgrammiFrequenti(sequenza, 2, 1), (N{{{0, 1}, 2}}));
    EXPECT_EQ(NgrammiFrequenti(sequenza, 3, 10), (N{{{0, 1, 1}, 1}, {{1, 1, 0}, 1}, {{2, 0, 1}, 1}}));
    EXPECT_EQ(Doppie(sequenza), (N{{{1, 1}, 1}}));
}

// Every split of the bytes decodes as the whole does: no character is lost at a buffer's edge.
TEST(DecodificaFlusso, AnySplitAsTheWhole)
{
    const std::pair<Codifica, std::string_view> casi[] = {
        {Codifica::Utf8, "\xEF\xBB\xBFQè\xF0\x9F\x98\x80q"},
        {Codifica::Utf8, "\xC3\xA8\xE2\x82\xAC"},
        {Codifica::Utf16LE, std::string_view("\xFF\xFEQ\0\x3D\xD8\x00\xDE", 8)},
        {Codifica::Utf16BE, std::string_view("\xFE\xFF\0Q\xD8\x3D\xDE\x00\x41", 9)},  // an odd byte at the end
        {Codifica::Windows1252, "\xEF\xBB\x80Q\xE8"},
    };
    for (const auto& [codifica, byte] : casi) {
        const auto atteso = Decodifica(byte);
        for (std::size_t taglio = 0; taglio <= byte.size(); ++taglio) {
            DecodificaFlusso flusso(codifica);
            std::u32string testo;
            ASSERT_TRUE(flusso.aggiungi(byte.substr(0, taglio), testo));
            ASSERT_TRUE(flusso.aggiungi(byte.substr(taglio), testo));
            ASSERT_TRUE(flusso.concludi(testo));
            EXPECT_EQ(testo, atteso) << testing::PrintToString(byte) << " cut at " << taglio;
        }
    }
}

TEST(DecodificaFlusso, BrokenUtf8IsReported)
{
    DecodificaFlusso flusso(Codifica::Utf8);
    std::u32string testo;
    EXPECT_TRUE(flusso.aggiungi("ab\xE2\x82", testo));
    EXPECT_FALSE(flusso.concludi(testo));
}

// Emoji and è right across the reader's 256 KiB buffer edge.
std::string TestoLungo()
{
    std::string testo = "\xEF\xBB\xBF";
    for (std::size_t i = 0; testo.size() < 256 * 1024 - 2; ++i)
        testo += "Qq xyz 1\n"[i % 9];
    return testo + "\xF0\x9F\x98\x80Q\xC3\xA8q\xE2\x82\xAC";
}

TEST(SalvaDecifrato, SameAsThePreviewOverBufferEdges)
{
    const CartellaTemporanea cartella;
    const auto byte = TestoLungo();
    const auto sorgente = cartella.scrivi("cifrato.txt", byte);
    const auto destinazione = cartella.percorso() / "cifrato-decifrato.txt";
    const Sostituzione sostituzione(Avanzati, ChiaveDa("--exk"));
    Avanzamento avanzamento;
    ImprontaFile analizzato;
    ASSERT_TRUE(AnalizzaFile(sorgente, Avanzati, avanzamento, analizzato).riuscito());
    ASSERT_TRUE(
        SalvaDecifrato(sorgente, analizzato, Codifica::Utf8, sostituzione, destinazione, avanzamento).riuscito());
    const auto anteprima = sostituzione.applica(Decodifica(byte));
    // UTF-8 without a byte-order mark: what the analysis decodes back to the preview.
    const auto salvato = LeggiFile(destinazione);
    EXPECT_FALSE(salvato.starts_with("\xEF\xBB\xBF"));
    EXPECT_EQ(Decodifica(salvato), anteprima);
    EXPECT_NE(anteprima.find(U"eKèx€"), std::u32string::npos);

    const auto inizio = LeggiInizio(sorgente, Codifica::Utf8, Avanzati, 20'000, 0);
    ASSERT_TRUE(inizio.riuscito());
    EXPECT_EQ(inizio.valore().substr(0, 20'000), Decodifica(byte).substr(0, 20'000));
}

}  // namespace
