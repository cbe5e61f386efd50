// SPDX-License-Identifier: GPL-3.0-or-later
// The deciphering window, driven through its entry point as the analysis windows' menu does.
#include "AiutiFinestre.h"

#include <QClipboard>
#include <QComboBox>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <map>

using namespace varnel;
using namespace varnel::prova;

namespace {

class FinestraDecifrazione : public Programma {
protected:
    // Saves the text under the key through the dialog, and reads back what was written.
    static std::string SalvaELeggi(Decifrazione& d, const QString& uscita)
    {
        EXPECT_TRUE(ConFile(uscita, [&] { Clic(Trova<QPushButton>(d, "SalvaTesto")); }));
        return LeggiFile(PercorsoDiSistema(uscita));
    }
    static QString Anteprima(const Decifrazione& d) { return Testo(d, "Anteprima"); }
    static QLineEdit* Chiave(const Decifrazione& d, int k)
    {
        return Trova<QLineEdit>(d, QStringLiteral("Chiave(%1)").arg(k));
    }
};

TEST_F(FinestraDecifrazione, ProposedAndCompletedKeysReadTheItalianSample)
{
    auto& d = apriDecifrazione(CifratoEsempio, ModoLettere::SenzaDistinzione);
    EXPECT_EQ(d.objectName(), "Decifrazione");
    EXPECT_EQ(d.windowTitle(), "Decifrazione - cifrato.txt");
    EXPECT_GT(d.property("indiceCoincidenza").toDouble(), 0.065);
    // g and q tie at the top: window order.
    auto* classifica = Trova<QTableWidget>(d, "Classifica");
    EXPECT_EQ(classifica->item(0, 0)->text(), "g");
    EXPECT_EQ(classifica->item(1, 0)->text(), "q");
    EXPECT_EQ(classifica->item(0, 3)->text(), "e");
    // The classic convention: what is still ciphered in capitals.
    EXPECT_TRUE(Anteprima(d).startsWith("DGSSQ NYFFHSQ"));

    Clic(Trova<QPushButton>(d, "ProponiChiave"));
    EXPECT_TRUE(Anteprima(d).startsWith("nella ")) << Anteprima(d).left(80).toStdString();
    EXPECT_EQ(Chiave(d, 7)->text(), "e");  // g → e
    EXPECT_TRUE(Testo(d, "Statistiche").contains("Indice di coincidenza: 0,07"));

    // A letter given twice marks both symbols, for the eye and for screen readers, and its letters
    // in the text with a wavy underline.
    Chiave(d, 1)->setText("E");
    EXPECT_EQ(Chiave(d, 1)->text(), "e");
    for (const int k : {1, 7}) {
        EXPECT_TRUE(Chiave(d, k)->property("doppione").toBool()) << k;
        EXPECT_FALSE(Chiave(d, k)->accessibleDescription().isEmpty()) << k;
    }
    EXPECT_FALSE(Chiave(d, 2)->property("doppione").toBool());
    EXPECT_TRUE(Testo(d, "LettereLibere").contains("date a più simboli: e"));
    const auto formati = Trova<QPlainTextEdit>(d, "Anteprima")->document()->firstBlock().layout()->formats();
    EXPECT_TRUE(std::ranges::any_of(formati, [](const QTextLayout::FormatRange& f) {
        return f.format.underlineStyle() == QTextCharFormat::WaveUnderline;
    }));

    Clic(Trova<QPushButton>(d, "AzzeraChiave"));
    EXPECT_TRUE(Anteprima(d).startsWith("DGSSQ NYFFHSQ"));
    EXPECT_EQ(Testo(d, "LettereLibere"),
              "Lettere in chiaro non usate: a b c d e f g h i j k l m n o p q r s t u v w x y z");
    EXPECT_FALSE(Chiave(d, 1)->property("doppione").toBool());

    // The letters typed stay, in bold, and the search fills in the rest around them.
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
    auto& d = apriDecifrazione(scrivi("cesare.txt", cesare), ModoLettere::Minuscole);
    EXPECT_FALSE(Testo(d, "Statistiche").contains("Cifrario di Cesare"));
    Clic(Trova<QPushButton>(d, "ProponiChiave"));
    EXPECT_TRUE(Anteprima(d).startsWith("nel mezzo")) << Anteprima(d).left(80).toStdString();
    EXPECT_TRUE(Testo(d, "Statistiche").contains("Cifrario di Cesare, spostamento 3")) << Anteprima(d).toStdString();
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
    EXPECT_TRUE(Anteprima(d).startsWith("XYZ"));

    // Pasted text: read as its analysis read it, and saved whole under the key.
    QApplication::clipboard()->setText(QString::fromUtf8("Qq, \"x\" è"));
    Azione(varnel(), "AzioneIncolla")->trigger();
    EXPECT_EQ(d.windowTitle(), "Decifrazione - testo degli appunti");
    Chiave(d, 17)->setText("e");
    EXPECT_EQ(Anteprima(d), QString::fromUtf8("ee, \"X\" È"));
    EXPECT_EQ(SalvaELeggi(d, Percorso(cartella.percorso() / "appunti-decifrato.txt")), "Ee, \"x\" \xC3\xA8");

    registro.avanzata().apri();
    Trova<QLineEdit>(registro.avanzata(), "Text1")->setText("abcdefghijklmnopqrstuvwxyz");
    Analizza(registro.avanzata(), scrivi("tre.txt", "abc"));
    EXPECT_EQ(d.windowTitle(), "Decifrazione - testo degli appunti");
}

// The key as the boxes show it, '-' for an empty box, without the empty boxes at the end.
QString Caselle(const Decifrazione& d)
{
    QString lettere;
    for (int k = 1; k <= 26; ++k)
        lettere += Testo(d, QStringLiteral("Chiave(%1)").arg(k)).leftJustified(1, u'-');
    while (lettere.endsWith(u'-'))
        lettere.chop(1);
    return lettere;
}

// The number of the key box with the focus, 0 for none.
int CasellaAttiva()
{
    const QString nome = QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    return nome.startsWith("Chiave(") ? nome.mid(7).chopped(1).toInt() : 0;
}

// Presses keys on the focus widget: letters and digits typed, and < > ^ _ the arrows, \b Backspace,
// ~ Delete, ! Ctrl+Z, ? Ctrl+Y, & Ctrl+Shift+Z, @ Ctrl+V.
void Premi(std::string_view tasti)
{
    // clang-format off
    static const std::map<char, std::pair<Qt::Key, Qt::KeyboardModifiers>> Speciali = {
        {'<', {Qt::Key_Left, {}}}, {'>', {Qt::Key_Right, {}}}, {'^', {Qt::Key_Up, {}}}, {'_', {Qt::Key_Down, {}}},
        {'\b', {Qt::Key_Backspace, {}}}, {'~', {Qt::Key_Delete, {}}}, {'!', {Qt::Key_Z, Qt::ControlModifier}},
        {'?', {Qt::Key_Y, Qt::ControlModifier}}, {'@', {Qt::Key_V, Qt::ControlModifier}},
        {'&', {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier}}};
    // clang-format on
    for (const char c : tasti) {
        if (const auto speciale = Speciali.find(c); speciale != Speciali.end())
            Tasto(speciale->second.first, speciale->second.second);
        else
            QTest::keyClick(QApplication::focusWidget(), c);
    }
}

TEST_F(FinestraDecifrazione, KeyTypedByHandFlowsAndEveryChangeIsUndone)
{
    auto& d = apriDecifrazione(CifratoEsempio, ModoLettere::SenzaDistinzione);
    Fuoco(d, "Chiave(1)");
    struct Passo {
        const char* cosa;
        const char* tasti;
        const char* appunti;  // what the clipboard holds first, or nothing
        QString chiave;       // as Caselle() shows it after the step
        int casella;          // the box with the focus after it
    };
    const Passo passi[] = {
        {"typed into the first box", "xzK", nullptr, "xzk", 4},
        {"typed over a letter", "<<q", nullptr, "xqk", 3},
        {"Backspace", "\b", nullptr, "xq", 2},
        {"Backspace again", "\b", nullptr, "x", 1},
        {"a non-letter", "7", nullptr, "x", 1},
        {"down a row", "_", nullptr, "x", 14},
        {"up and right", "^>", nullptr, "x", 2},
        {"Delete", "<~", nullptr, "", 1},
        {"undo", "!", nullptr, "x", 1},
        {"undo again", "!", nullptr, "xq", 1},
        {"redo", "?", nullptr, "x", 1},
        {"redo the other way", "&", nullptr, "", 1},
        {"26 letters pasted", "@", "zyxwvutsrqponmlkjihgfedcba\n", "zyxwvutsrqponmlkjihgfedcba", 1},
        {"pairs pasted", "@", "# mia\nG=e\nq = L\n", "------e---------l", 1},
        {"letters pasted", "@", "ab", "ab----e---------l", 3},
    };
    for (const auto& passo : passi) {
        if (passo.appunti)
            QApplication::clipboard()->setText(QString::fromUtf8(passo.appunti));
        Premi(passo.tasti);
        EXPECT_EQ(Caselle(d), passo.chiave) << passo.cosa;
        EXPECT_EQ(CasellaAttiva(), passo.casella) << passo.cosa;
    }
    // A frequency key undone: the focus stays on its button.
    Clic(Trova<QPushButton>(d, "ChiavePerFrequenza"));
    Premi("!");
    EXPECT_EQ(Caselle(d), "ab----e---------l");
    EXPECT_EQ(CasellaAttiva(), 0);

    // Undo and redo across a proposal, from the window's menu too.
    Clic(Trova<QPushButton>(d, "ProponiChiave"));
    const QString proposta = Caselle(d);
    auto* annulla = d.findChild<QAction*>("AzioneAnnulla");
    auto* ripeti = d.findChild<QAction*>("AzioneRipeti");
    EXPECT_EQ(annulla->text(), "&Annulla chiave proposta");
    annulla->trigger();
    EXPECT_EQ(Caselle(d), "ab----e---------l");
    EXPECT_EQ(ripeti->text(), "&Ripeti chiave proposta");
    ripeti->trigger();
    EXPECT_EQ(Caselle(d), proposta);
    EXPECT_FALSE(ripeti->isEnabled());

    // Not a key: a notice, and the key as it was.
    const auto avviso = RispondiAvviso();
    Fuoco(d, "Chiave(1)");
    QApplication::clipboard()->setText("a=e\nbe");
    Premi("@");
    EXPECT_TRUE(avviso->venuta);
    EXPECT_EQ(avviso->testo, "Gli appunti non contengono una chiave: riga 2, «be»: non è una coppia simbolo=lettera.");
    EXPECT_EQ(Caselle(d), proposta);
}

TEST_F(FinestraDecifrazione, KeyKeptInAFileAndCopied)
{
    auto& d = apriDecifrazione(scrivi("c.txt", "Qq x"), ModoLettere::SenzaDistinzione);
    Chiave(d, 17)->setText("e");
    Chiave(d, 24)->setText("a");
    const QString file = Percorso(cartella.percorso() / "chiave.txt");
    const std::string scritta = "# Chiave di Varnel: simbolo cifrato=lettera in chiaro\nq=e\nx=a\n";
    EXPECT_TRUE(ConFile(file, [&] { d.findChild<QAction*>("AzioneSalvaChiave")->trigger(); }));
    EXPECT_EQ(LeggiFile(PercorsoDiSistema(file)), scritta);
    d.findChild<QAction*>("AzioneCopiaChiave")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), scritta);

    Clic(Trova<QPushButton>(d, "AzzeraChiave"));
    EXPECT_TRUE(ConFile(file, [&] { d.findChild<QAction*>("AzioneApriChiave")->trigger(); }));
    EXPECT_EQ(Caselle(d), "----------------e------a");
    EXPECT_EQ(Anteprima(d), "ee a");

    // A file with any other line: refused, naming the line, and nothing changes.
    const QString rotta = scrivi("rotta.txt", "q=e\n\nx=ab\n");
    Clic(Trova<QPushButton>(d, "AzzeraChiave"));
    const auto avviso = RispondiAvviso();
    EXPECT_TRUE(ConFile(rotta, [&] { d.findChild<QAction*>("AzioneApriChiave")->trigger(); }));
    EXPECT_EQ(avviso->testo, "\"rotta.txt\" non è una chiave di Varnel: riga 3, «x=ab»: non è una coppia "
                             "simbolo=lettera. La chiave non è cambiata.");
    EXPECT_EQ(Caselle(d), "");
}

TEST_F(FinestraDecifrazione, PreviewAndSavedFileAgreeUnderEveryCriterion)
{
    const Simboli cifre = SimboliDaTesto(U"0123456789\U0001F600QabcdefghijklmP").value();
    const struct {
        Criterio criterio;
        int casella;  // the Chiave(k) typed into
        QString anteprima;
        QString salvato;  // keeps the case of the letters replaced
    } casi[] = {
        {ModoLettere::SenzaDistinzione, 17, "ee 7XÈ😀\ne", "Ee 7xè😀\nE"},
        {ModoLettere::Maiuscole, 17, "eQ 7XÈ😀\ne", "Eq 7xè😀\nE"},
        {ModoLettere::Minuscole, 17, "Qe 7XÈ😀\nQ", "Qe 7xè😀\nQ"},
        {cifre, 11, "QQ 7XÈe\nQ", "Qq 7xèe\nQ"},  // the emoji
        {cifre, 8, "QQ eXÈ😀\nQ", "Qq exè😀\nQ"},   // a digit
    };
    const QString file = scrivi("c.txt", "Qq 7x\xC3\xA8\xF0\x9F\x98\x80\nQ");
    const QString uscita = Percorso(cartella.percorso() / "c-decifrato.txt");
    for (const auto& c : casi) {
        SCOPED_TRACE(c.anteprima.toStdString());
        auto& d = apriDecifrazione(file, c.criterio);
        Clic(Trova<QPushButton>(d, "AzzeraChiave"));
        Chiave(d, c.casella)->setText("e");
        EXPECT_EQ(Anteprima(d), c.anteprima);
        EXPECT_TRUE(Testo(d, "Statistiche").contains("Meno di 100 simboli"));
        EXPECT_EQ(QString::fromStdString(SalvaELeggi(d, uscita)), c.salvato);

        // Never over the file analysed: a notice, and the file as it was. (The proposed name is
        // taken away first: the dialog would keep it selected over the typed one.)
        std::filesystem::remove(PercorsoDiSistema(uscita));
        const auto avviso = RispondiAvviso();
        EXPECT_TRUE(ConFile(file, [&] { Clic(Trova<QPushButton>(d, "SalvaTesto")); }));
        EXPECT_TRUE(avviso->venuta);
        EXPECT_EQ(LeggiFile(PercorsoDiSistema(file)), "Qq 7x\xC3\xA8\xF0\x9F\x98\x80\nQ");
    }
}

}  // namespace
