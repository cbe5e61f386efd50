// SPDX-License-Identifier: GPL-3.0-or-later
// Analyses started four ways, and the results copied, exported and drawn to a file.
#include "AiutiFinestre.h"
#include "RigaComando.h"
#include "SceltaFile.h"
#include "VersioneProgramma.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSignalSpy>

#include <cerrno>
#include <cstring>

namespace varnel::prova {
namespace {

// Drags `indirizzi` onto the window and drops them, as a file manager would.
void Lascia(QWidget& finestra, const QList<QUrl>& indirizzi)
{
    QMimeData dati;
    dati.setUrls(indirizzi);
    QDragEnterEvent entrata(QPoint(20, 20), Qt::CopyAction, &dati, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&finestra, &entrata);
    ASSERT_TRUE(entrata.isAccepted());
    QDropEvent evento(QPointF(20, 20), Qt::CopyAction, &dati, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&finestra, &evento);
}

enum class Via { Dialogo, Appunti, Trascinamento, RigaComando };

struct Esempio {
    const char* nome;
    QString testo;
    QByteArray file;  // the same text in a file
};

class Export : public Programma {
protected:
    // Starts an analysis in the main window the given way; the text is what the clipboard holds.
    void avvia(Via via, const Esempio& t)
    {
        const QString percorso = scrivi(std::string(t.nome) + ".txt", t.file.toStdString());
        switch (via) {
        case Via::Dialogo: Analizza(varnel(), percorso); break;
        case Via::Appunti:
            QGuiApplication::clipboard()->setText(t.testo);
            Azione(varnel(), "AzioneIncolla")->trigger();
            break;
        case Via::Trascinamento: Lascia(varnel(), {QUrl::fromLocalFile(percorso)}); break;
        case Via::RigaComando:
            varnel().analizzaFile(FileDaRigaComando({"varnel", PercorsoDiSistema(percorso)}).value());
            break;
        }
    }
    QString riepilogo() { return Testo(varnel(), "Text2"); }
};

TEST_F(Export, FourWaysToStartAnAnalysisGiveTheSameResults)
{
    QByteArray utf16("\xFF\xFE", 2);
    const QString conEmoji = QStringLiteral("Perché \U0001F600 è così?");
    utf16.append(reinterpret_cast<const char*>(conEmoji.utf16()), conEmoji.size() * 2);
    const QString campi = QStringLiteral("\"Ab,c\"\r\n\"d\"\"e\" F\r\n");
    for (const Esempio& t : {Esempio{"ascii", "Nella mezzo del cammin", "Nella mezzo del cammin"},
                             Esempio{"utf8", conEmoji, conEmoji.toUtf8()}, Esempio{"utf16", conEmoji, utf16},
                             Esempio{"campi", campi, campi.toUtf8()}}) {
        avvia(Via::Dialogo, t);
        ASSERT_TRUE(varnel().ultimaAnalisi()) << t.nome;
        const Analisi attesa = varnel().ultimaAnalisi()->analisi;
        const QString riepilogoAtteso = riepilogo();
        EXPECT_NE(attesa.conteggi, Conteggi{}) << t.nome;
        for (const Via via : {Via::Appunti, Via::Trascinamento, Via::RigaComando}) {
            Trova<QPlainTextEdit>(varnel(), "Text2")->clear();
            QSignalSpy riuscite(&varnel(), &FinestraAnalisi::analisiRiuscita);
            avvia(via, t);
            EXPECT_EQ(riuscite.count(), 1) << t.nome << " way " << int(via);
            const auto& ultima = varnel().ultimaAnalisi();
            EXPECT_EQ(ultima->analisi.conteggi, attesa.conteggi) << t.nome << " way " << int(via);
            EXPECT_EQ(ultima->analisi.lunghezza, attesa.lunghezza) << t.nome << " way " << int(via);
            EXPECT_EQ(riepilogo(), riepilogoAtteso) << t.nome << " way " << int(via);
            EXPECT_EQ(ultima->testo, via == Via::Appunti ? t.testo : QString());
        }
    }
}

TEST_F(Export, ClipboardOrDropWithNothingToAnalyseChangesNothing)
{
    Analizza(varnel(), scrivi("a.txt", "abc"));
    const QString prima = riepilogo();
    const QUrl due[] = {QUrl::fromLocalFile(scrivi("b.txt", "x")), QUrl::fromLocalFile(scrivi("c.txt", "y"))};
    // No URL: an empty clipboard pasted.
    for (const auto& [trascinati, messaggio] : std::vector<std::pair<QList<QUrl>, QString>>{
             {{}, "Gli appunti non contengono testo."},
             {{QUrl::fromLocalFile(Percorso(cartella.percorso()))}, "Trascinare un file, non una cartella."},
             {{due[0], due[1]}, "Trascinare un solo file alla volta."},
             {{QUrl("https://www.varnel.example/a.txt")},
              "Si possono analizzare solo i file che si trovano su questo computer."}}) {
        const auto avviso = RispondiAvviso();
        if (trascinati.isEmpty()) {
            QGuiApplication::clipboard()->clear();
            Azione(varnel(), "AzioneIncolla")->trigger();
        } else {
            Lascia(varnel(), trascinati);
        }
        EXPECT_EQ(avviso->testo, messaggio);
        EXPECT_EQ(riepilogo(), prima) << messaggio.toStdString();
    }
}

TEST_F(Export, CopyAndCsvFollowTheLocaleAndQuoteTheSymbolsThatNeedIt)
{
    registro.avanzata().apri();
    Avanzata& w = registro.avanzata();
    Trova<QLineEdit>(w, "Text1")->setText(QStringLiteral("abcdefghijklmnopqrstuv,\"yz"));
    Analizza(w, scrivi("cifrato.txt", "aab"));
    struct Caso {
        QLocale locale;
        QStringList copia;  // rows 0, 1, 23, 24 and the last
        QStringList csv;
    };
    for (const Caso& caso :
         {Caso{QLocale(QLocale::Italian, QLocale::Italy),
               {"Simbolo\tConteggio\tPercentuale", "a\t2\t66,6666666666667", ",\t0\t0", "\"\"\"\"\t0\t0", "Totale\t3"},
               {"\xEF\xBB\xBFSimbolo;Conteggio;Percentuale", "a;2;66,6666666666667", ",;0;0", "\"\"\"\";0;0",
                "Totale;3"}},
          Caso{QLocale(QLocale::English, QLocale::UnitedStates),
               {"Simbolo\tConteggio\tPercentuale", "a\t2\t66.6666666666667", ",\t0\t0", "\"\"\"\"\t0\t0", "Totale\t3"},
               {"\xEF\xBB\xBFSimbolo,Conteggio,Percentuale", "a,2,66.6666666666667", "\",\",0,0", "\"\"\"\",0,0",
                "Totale,3"}}}) {
        QLocale::setDefault(caso.locale);
        Azione(w, "AzioneCopia")->trigger();
        const QStringList copiate = QGuiApplication::clipboard()->text().split('\n');
        const QString csv = Percorso(cartella.percorso()) + "/" + caso.locale.name() + ".csv";
        EXPECT_TRUE(ConFile(csv, [&] { Azione(w, "AzioneEsportaCsv")->trigger(); }));
        const QStringList righe = QString::fromStdString(LeggiFile(PercorsoDiSistema(csv)))
                                      .split(QStringLiteral("\r\n"));
        for (const auto& [ottenute, attese] : {std::pair{copiate, caso.copia}, std::pair{righe, caso.csv}}) {
            ASSERT_EQ(ottenute.size(), 29) << "header, 26 slots, Totale, the last line end";
            EXPECT_EQ((QStringList{ottenute[0], ottenute[1], ottenute[23], ottenute[24], ottenute[27]}), attese);
            EXPECT_EQ(ottenute[28], QString());
        }
    }
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
}

TEST_F(Export, SavesProposeNamesBesideTheFile)
{
    Analizza(varnel(), scrivi("cifrato.txt", "abc"));
    QString proposto;
    const auto risposta = Rispondi<QFileDialog>([&](Risposta&, QFileDialog* dialogo) {
        proposto = dialogo->selectedFiles().value(0);
        dialogo->reject();
    });
    Azione(varnel(), "AzioneEsportaCsv")->trigger();
    EXPECT_EQ(proposto, Percorso(cartella.percorso() / "cifrato-frequenze.csv"));
}

TEST_F(Export, ChartPictureHasTwiceThePixelsTheMarkersATitleAndALegend)
{
    Analizza(varnel(), scrivi("cifrato.txt", "eeeaab"));
    Azione(varnel(), "RiferimentoItaliano")->trigger();
    EXPECT_EQ(Trova<QLabel>(varnel(), "LegendaBarre")->text(), "cifrato.txt");
    EXPECT_EQ(Trova<QLabel>(varnel(), "LegendaRiferimenti")->text(), "Frequenze dell'italiano");
    EXPECT_TRUE(Trova(varnel(), "LegendaRiferimenti")->isVisible());
    const QString png = Percorso(cartella.percorso()) + "/grafico.png";
    EXPECT_TRUE(ConFile(png, [&] { Azione(varnel(), "AzioneSalvaGrafico")->trigger(); }));
    const QImage immagine(png);
    const QWidget* alto = Trova(varnel(), "Perc1");
    const QRect grafico(alto->pos(), QPoint(Trova(varnel(), "Lettera(25)")->geometry().right(),
                                            Trova(varnel(), "Lettera(0)")->geometry().bottom()));
    const double scala = 2 * varnel().devicePixelRatioF();
    EXPECT_EQ(immagine.width(), qRound(grafico.width() * scala));
    EXPECT_GT(immagine.height(), qRound(grafico.height() * scala));  // a title above, a legend below
    EXPECT_EQ(immagine.text("Title"), "Frequenze in \"cifrato.txt\"");
    // As large in a document as on the screen: the layout's 96 pixels an inch, times the scale.
    EXPECT_EQ(immagine.dotsPerMeterX(), qRound(96 * scala / 0.0254));
    EXPECT_EQ(immagine.dotsPerMeterY(), immagine.dotsPerMeterX());
    // The marker over e, and the legend's swatch of the same colour under the chart.
    const QRect segno = Trova(varnel(), "Riferimento(5)")->geometry().translated(-grafico.topLeft());
    int arancioni = 0;
    for (int y = 0; y < immagine.height(); ++y)
        arancioni += immagine.pixelColor(qRound(segno.center().x() * scala), y) == QColor(255, 140, 0);
    EXPECT_GE(arancioni, qRound(segno.height() * scala));
    int legenda = 0;  // below the lowest marker, which stands over the baseline
    for (int y = immagine.height() - qRound(30 * scala); y < immagine.height(); ++y) {
        for (int x = 0; x < immagine.width(); ++x)
            legenda += immagine.pixelColor(x, y) == QColor(255, 140, 0);
    }
    EXPECT_GT(legenda, 0);
    Azione(varnel(), "RiferimentoNessuno")->trigger();
    EXPECT_FALSE(Trova(varnel(), "LegendaRiferimenti")->isVisible());
}

TEST(CommandLine, TakesOneFileAndRefusesEverythingElse)
{
    using Argomenti = std::vector<std::filesystem::path>;
    struct Caso {
        Argomenti argomenti;
        std::optional<std::filesystem::path> file;
    };
    for (const Caso& caso :
         {Caso{{}, std::filesystem::path()}, Caso{{"a.txt"}, "a.txt"}, Caso{{"--", "-a.txt"}, "-a.txt"},
          Caso{{"--help"}, {}}, Caso{{"a.txt", "b.txt"}, {}}, Caso{{"-"}, {}}, Caso{{""}, {}}}) {
        Argomenti riga{"varnel"};
        riga.insert(riga.end(), caso.argomenti.begin(), caso.argomenti.end());
        EXPECT_EQ(FileDaRigaComando(riga), caso.file) << riga.back();
    }
}

TEST(CommandLine, HelpAndVersionNeedNoDisplayAndAnythingElseIsRefused)
{
    struct Caso {
        QStringList argomenti;
        int codice;
        QString uscita;  // on standard output when all is well, on standard error otherwise
    };
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    for (const char* variabile : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        ambiente.remove(QString::fromLatin1(variabile));
    for (const Caso& caso : {Caso{{"--help"}, 0, "Uso: varnel [FILE]"}, Caso{{"-h"}, 0, "--version"},
                             Caso{{"a.txt", "--version"},
                                  0,
                                  "Varnel " + QString::fromLatin1(VersioneProgetto.data(), VersioneProgetto.size())},
                             // Qt's own options are taken before the check.
                             Caso{{"-platform", "offscreen", "--bogus"}, 2, "Uso: varnel [FILE]"}}) {
        QProcess programma;
        programma.setProcessEnvironment(ambiente);
        programma.start(QStringLiteral(VARNEL_PROGRAMMA), caso.argomenti);
        ASSERT_TRUE(programma.waitForFinished(20000));
        EXPECT_EQ(programma.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(programma.exitCode(), caso.codice) << caso.argomenti.join(' ').toStdString();
        const QByteArray uscita = caso.codice == 0 ? programma.readAllStandardOutput()
                                                   : programma.readAllStandardError();
        EXPECT_TRUE(QString::fromUtf8(uscita).contains(caso.uscita)) << caso.argomenti.join(' ').toStdString();
    }
}

#ifndef Q_OS_WIN
TEST_F(Export, ANameThatIsNotUtf8OpensByItsBytes)
{
    const std::string nome = "nome\xFF\xFE.txt";  // a Linux name is bytes
    const auto percorso = PercorsoDiSistema(scrivi("x", "")).parent_path() / nome;
    std::ofstream(percorso) << "abc";
    char programma[] = "varnel";
    std::string argomento = percorso.native();
    char* argv[] = {programma, argomento.data()};
    const auto file = FileDaRigaComando(ArgomentiDiSistema(2, argv));
    ASSERT_EQ(file, percorso);
    const auto avviso = RispondiAvviso();
    varnel().analizzaFile(*file);
    EXPECT_EQ(avviso->testo, "");
    EXPECT_TRUE(riepilogo().startsWith("Lettera a: 33,3")) << riepilogo().toStdString();
    Trova<QPlainTextEdit>(varnel(), "Text2")->clear();
    QByteArray indirizzo = QUrl::fromLocalFile(Percorso(percorso.parent_path())).toEncoded() + "/nome%FF%FE.txt";
    Lascia(varnel(), {QUrl::fromEncoded(indirizzo)});
    EXPECT_TRUE(riepilogo().startsWith("Lettera a: 33,3")) << riepilogo().toStdString();
}
#endif

TEST_F(Export, AWriteThatFailsKeepsTheFileItReplacesAndSaysWhy)
{
    struct Caso {
        const char* nome;
        std::function<std::shared_ptr<void>(const QString& file)> prepara;  // held while the command runs
        QString motivo;
    };
    const std::vector<Caso> casi{
        {"read-only",
         [](const QString& file) {
             std::filesystem::permissions(PercorsoDiSistema(file), std::filesystem::perms::owner_read);
             return nullptr;
         },
         "il file è di sola lettura"},
#ifndef Q_OS_WIN
        {"the disk fails half-way", [](const QString&) { return std::make_shared<LimiteDimensione>(16); },
         QString::fromLocal8Bit(std::strerror(EFBIG))},
#endif
    };
    Analizza(varnel(), scrivi("cifrato.txt", "abc"));
    for (const Caso& caso : casi) {
        for (const auto& [azione, estensione] :
             {std::pair{"AzioneEsportaCsv", ".csv"}, {"AzioneSalvaGrafico", ".png"}}) {
            SCOPED_TRACE(std::string(caso.nome) + ", " + azione);
            const QString file = scrivi(caso.nome + std::string(estensione), "the user's own file");
            const QStringList prima = QDir(Percorso(cartella.percorso())).entryList(QDir::AllEntries | QDir::Hidden);
            const auto scelta = RispondiFile(file);
            const auto avviso = RispondiAvviso();
            {
                const auto condizione = caso.prepara(file);
                Azione(varnel(), azione)->trigger();
            }
            EXPECT_EQ(avviso->testo, QStringLiteral("Impossibile salvare il file \"%1\": %2.")
                                         .arg(QDir::toNativeSeparators(file), caso.motivo));
            EXPECT_EQ(QDir(Percorso(cartella.percorso())).entryList(QDir::AllEntries | QDir::Hidden), prima);
            EXPECT_EQ(LeggiFile(PercorsoDiSistema(file)), "the user's own file");
            std::filesystem::permissions(PercorsoDiSistema(file), std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::add);
        }
    }
}

}  // namespace
}  // namespace varnel::prova
