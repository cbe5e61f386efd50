// SPDX-License-Identifier: GPL-3.0-or-later
// The deciphering window, driven through its entry point as the analysis windows' menu does.
#include "AiutiFinestre.h"
#include "Decifrazione.h"

#include <QClipboard>
#include <QComboBox>
#include <QTableWidget>

#include <fstream>
#include <sstream>

using namespace varnel;
using namespace varnel::prova;

namespace {

class FinestraDecifrazione : public Programma {
protected:
    Decifrazione& apri(const QString& percorso, const Criterio& criterio)
    {
        Avanzamento avanzamento;
        const auto analisi = AnalizzaFile(percorso.toStdString(), criterio, avanzamento);
        EXPECT_TRUE(analisi.riuscito());
        UltimaAnalisi ultima;
        ultima.percorso = percorso;
        ultima.criterio = criterio;
        ultima.analisi = analisi.valore();
        registro.apriDecifrazione(varnel(), ultima);
        return registro.decifrazione();
    }
    static std::string Contenuto(const QString& file)
    {
        std::ifstream letto(file.toStdString(), std::ios::binary);
        std::stringstream contenuto;
        contenuto << letto.rdbuf();
        return contenuto.str();
    }
    // Saves the text under the key through the dialog, and reads back what was written.
    static std::string SalvaELeggi(Decifrazione& d, const QString& uscita)
    {
        const auto scelta = RispondiFile(uscita);
        Clic(Trova<QPushButton>(d, "SalvaTesto"));
        EXPECT_TRUE(scelta->venuta);
        return Contenuto(uscita);
    }
    static QString Anteprima(const Decifrazione& d) { return Trova<QPlainTextEdit>(d, "Anteprima")->toPlainText(); }
    static QLineEdit* Chiave(const Decifrazione& d, int k)
    {
        return Trova<QLineEdit>(d, QStringLiteral("Chiave(%1)").arg(k));
    }
};

TEST_F(FinestraDecifrazione, ProposedKeyReadsTheItalianSample)
{
    auto& d = apri(QStringLiteral(VARNEL_SORGENTI "/resources/esempio/cifrato.txt"), ModoLettere::SenzaDistinzione);
    EXPECT_EQ(d.objectName(), "Decifrazione");
    EXPECT_EQ(d.windowTitle(), "Decifrazione - cifrato.txt");
    EXPECT_GT(d.property("indiceCoincidenza").toDouble(), 0.065);
    // g and q tie at the top: window order.
    auto* classifica = Trova<QTableWidget>(d, "Classifica");
    EXPECT_EQ(classifica->item(0, 0)->text(), "g");
    EXPECT_EQ(classifica->item(1, 0)->text(), "q");
    EXPECT_EQ(classifica->item(0, 3)->text(), "e");
    EXPECT_TRUE(Anteprima(d).startsWith("Dgssq nyffhsq"));

    Clic(Trova<QPushButton>(d, "ProponiChiave"));
    EXPECT_TRUE(Anteprima(d).startsWith("Nella ")) << Anteprima(d).left(80).toStdString();
    EXPECT_EQ(Chiave(d, 7)->text(), "e");  // g → e
    EXPECT_TRUE(Trova<QPlainTextEdit>(d, "Statistiche")->toPlainText().contains("Indice di coincidenza: 0,07"));

    // A letter given twice marks both symbols, for the eye and for screen readers.
    Chiave(d, 1)->setText("E");
    EXPECT_EQ(Chiave(d, 1)->text(), "e");
    for (const int k : {1, 7}) {
        EXPECT_TRUE(Chiave(d, k)->property("doppione").toBool()) << k;
        EXPECT_FALSE(Chiave(d, k)->accessibleDescription().isEmpty()) << k;
    }
    EXPECT_FALSE(Chiave(d, 2)->property("doppione").toBool());

    Clic(Trova<QPushButton>(d, "AzzeraChiave"));
    EXPECT_TRUE(Anteprima(d).startsWith("Dgssq nyffhsq"));
    EXPECT_FALSE(Chiave(d, 1)->property("doppione").toBool());
}

// The letters typed stay, in bold, and the search fills in the rest around them.
TEST_F(FinestraDecifrazione, CompletedKeyKeepsTheTypedLetters)
{
    auto& d = apri(QStringLiteral(VARNEL_SORGENTI "/resources/esempio/cifrato.txt"), ModoLettere::SenzaDistinzione);
    Chiave(d, 7)->setText("e");  // g → e, right
    Chiave(d, 2)->setText("k");  // a letter the text does not have, wrong
    Clic(Trova<QPushButton>(d, "CompletaChiave"));
    EXPECT_EQ(Chiave(d, 7)->text(), "e");
    EXPECT_EQ(Chiave(d, 2)->text(), "k");
    for (int k = 1; k <= 26; ++k) {
        EXPECT_EQ(Chiave(d, k)->font().bold(), k == 2 || k == 7) << k;
        EXPECT_FALSE(Chiave(d, k)->text().isEmpty()) << k;
    }
}

// A shift of the alphabet is named once the key is found.
TEST_F(FinestraDecifrazione, ShiftIsNamedInTheStatistics)
{
    std::string cesare;
    for (const char c : std::string_view("nel mezzo del cammin di nostra vita mi ritrovai per una selva oscura, che la "
                                         "diritta via era smarrita. ahi quanto a dir qual era e cosa dura esta selva "
                                         "selvaggia e aspra e forte che nel pensier rinova la paura!"))
        cesare += c >= 'a' && c <= 'z' ? static_cast<char>('a' + (c - 'a' + 3) % 26) : c;
    auto& d = apri(scrivi("cesare.txt", cesare), ModoLettere::Minuscole);
    EXPECT_FALSE(Trova<QPlainTextEdit>(d, "Statistiche")->toPlainText().contains("Cifrario di Cesare"));
    Clic(Trova<QPushButton>(d, "ProponiChiave"));
    EXPECT_TRUE(Anteprima(d).startsWith("nel mezzo")) << Anteprima(d).left(80).toStdString();
    EXPECT_TRUE(Trova<QPlainTextEdit>(d, "Statistiche")->toPlainText().contains("Cifrario di Cesare, spostamento 3"))
        << Anteprima(d).toStdString();
}

// Opened on the main window's last analysis, it follows that window's next ones and no other's.
TEST_F(FinestraDecifrazione, FollowsTheWindowThatOpenedIt)
{
    varnel().apriDecifrazione();  // before any analysis: nothing
    EXPECT_FALSE(registro.decifrazione().isVisible());
    Analizza(varnel(), scrivi("uno.txt", "abc"));
    varnel().apriDecifrazione();
    auto& d = registro.decifrazione();
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.windowTitle(), "Decifrazione - uno.txt");
    Analizza(varnel(), scrivi("due.txt", "xyz"));
    EXPECT_EQ(d.windowTitle(), "Decifrazione - due.txt");
    EXPECT_TRUE(Anteprima(d).startsWith("xyz"));

    // Pasted text: read as its analysis read it, and saved whole under the key.
    QApplication::clipboard()->setText(QString::fromUtf8("Qq, \"x\" è"));
    Azione(varnel(), "AzioneIncolla")->trigger();
    EXPECT_EQ(d.windowTitle(), "Decifrazione - testo degli appunti");
    Chiave(d, 17)->setText("e");
    EXPECT_EQ(Anteprima(d), QString::fromUtf8("Ee, \"x\" è"));
    EXPECT_EQ(SalvaELeggi(d, Percorso(cartella.percorso() / "appunti-decifrato.txt")), "Ee, \"x\" \xC3\xA8");

    registro.avanzata().apri();
    Trova<QLineEdit>(registro.avanzata(), "Text1")->setText("abcdefghijklmnopqrstuvwxyz");
    Analizza(registro.avanzata(), scrivi("tre.txt", "abc"));
    EXPECT_EQ(d.windowTitle(), "Decifrazione - testo degli appunti");
}

struct CasoFinestra {
    const char* nome;
    Criterio criterio;
    int casella;  // the Chiave(k) typed into
    QString atteso;
};

void PrintTo(const CasoFinestra& caso, std::ostream* uscita) { *uscita << caso.nome; }

class PerCriterio : public FinestraDecifrazione, public testing::WithParamInterface<CasoFinestra> {};

TEST_P(PerCriterio, PreviewAndSavedFileAgree)
{
    const auto& c = GetParam();
    const QString file = scrivi("c.txt", "Qq 7x\xC3\xA8\xF0\x9F\x98\x80\nQ");
    auto& d = apri(file, c.criterio);
    Chiave(d, c.casella)->setText("e");
    EXPECT_EQ(Anteprima(d), c.atteso);
    EXPECT_TRUE(Trova<QPlainTextEdit>(d, "Statistiche")->toPlainText().contains("Meno di 100 simboli"));

    const QString uscita = Percorso(cartella.percorso() / "c-decifrato.txt");
    EXPECT_EQ(QString::fromStdString(SalvaELeggi(d, uscita)), c.atteso);

    // Never over the file analysed: a notice, and the file as it was. (The proposed name is taken
    // away first: the dialog would keep it selected over the typed one.)
    std::filesystem::remove(uscita.toStdString());
    const auto avviso = RispondiAvviso();
    const auto sopra = RispondiFile(file);
    Clic(Trova<QPushButton>(d, "SalvaTesto"));
    EXPECT_TRUE(sopra->venuta);
    EXPECT_TRUE(avviso->venuta);
    EXPECT_EQ(Contenuto(file), "Qq 7x\xC3\xA8\xF0\x9F\x98\x80\nQ");
}

const Simboli Cifre = SimboliDaTesto(U"0123456789\U0001F600QabcdefghijklmP").value();

INSTANTIATE_TEST_SUITE_P(
    Criteri, PerCriterio,
    testing::Values(CasoFinestra{"BothCases", ModoLettere::SenzaDistinzione, 17, QString::fromUtf8("Ee 7xè😀\nE")},
                    CasoFinestra{"Uppercase", ModoLettere::Maiuscole, 17, QString::fromUtf8("Eq 7xè😀\nE")},
                    CasoFinestra{"Lowercase", ModoLettere::Minuscole, 17, QString::fromUtf8("Qe 7xè😀\nQ")},
                    CasoFinestra{"Emoji", Cifre, 11, QString::fromUtf8("Qq 7xèe\nQ")},
                    CasoFinestra{"Digit", Cifre, 8, QString::fromUtf8("Qq ex\xC3\xA8😀\nQ")}),
    [](const auto& prova) { return std::string(prova.param.nome); });

}  // namespace
