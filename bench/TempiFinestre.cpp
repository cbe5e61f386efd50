// SPDX-License-Identifier: GPL-3.0-or-later
// Times the real windows offscreen, for bench/finestre: from the accepted file dialog to the return
// of "Analisi frequenze", in the main window and in the advanced one (26 symbols, one of them è),
// beside the engine's own time on the same file (what bench/compare times); and from a key typed
// in the deciphering window to its preview redrawn.
//   tempi_finestre GIRI FILE...     FILE in increasing size; the deciphering window opens on the
//                                   first of at least 20,000 characters
#include "AnalisiFile.h"
#include "Avanzata.h"
#include "Decifrazione.h"
#include "Registro.h"
#include "Varnel.h"

#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <time.h>

namespace {

using namespace varnel;
using Orologio = std::chrono::steady_clock;

constexpr char32_t SimboliAvanzata[] = U"etaoinshrdlucmfwypvbgkjqx\u00E8";
constexpr int TastiPerGiro = 26;

double Millisecondi(Orologio::duration durata) { return std::chrono::duration<double, std::milli>(durata).count(); }

// The user-interface thread's own processor time: on a shared machine the wall time also holds
// the waits for a core, this does not.
double ProcessoreFilo()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// From the accept to the handler's return.
struct Tempo {
    double parete = 0;
    double processore = 0;  // of the user-interface thread
};

double Mediana(std::vector<double> valori)
{
    std::ranges::sort(valori);
    const std::size_t n = valori.size();
    return n % 2 ? valori[n / 2] : (valori[n / 2 - 1] + valori[n / 2]) / 2;
}

// One of the times of each run: &Tempo::parete or &Tempo::processore.
std::vector<double> Di(const std::vector<Tempo>& tempi, double Tempo::*quale)
{
    std::vector<double> v;
    for (const Tempo& t : tempi)
        v.push_back(t.*quale);
    return v;
}

[[noreturn]] void Fallisci(const char* perche)
{
    std::fprintf(stderr, "tempi_finestre: %s\n", perche);
    std::exit(1);
}

// The engine alone, on this thread, as bench/compare's analizza_file runs it.
double Motore(const QString& file, const Criterio& criterio, std::uint64_t& lunghezza)
{
    Avanzamento avanzamento;
    const auto inizio = Orologio::now();
    const auto esito = AnalizzaFile(file.toStdString(), criterio, avanzamento);
    const auto fine = Orologio::now();
    if (!esito.riuscito())
        Fallisci("the engine could not read a file");
    lunghezza = esito.valore().lunghezza;
    return Millisecondi(fine - inizio);
}

// Clicks "Analisi frequenze", answers the file dialog as a user would, and times from the accept
// to the handler's return; the window must then show an analysis of `lunghezza` characters, and
// no notice.
Tempo AccettoARitorno(FinestraAnalisi& finestra, const QString& file, std::uint64_t lunghezza)
{
    std::optional<Orologio::time_point> accettato;
    double processore = 0;
    QTimer risposta;
    QObject::connect(&risposta, &QTimer::timeout, [&] {
        if (const auto* avviso = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            Fallisci(qPrintable(avviso->text()));
        auto* dialogo = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (accettato || !dialogo || !dialogo->isVisible())
            return;
        dialogo->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(file);
        accettato = Orologio::now();
        processore = ProcessoreFilo();
        risposta.stop();  // its ticks would wake the thread all through the analysis
        static_cast<QDialog*>(dialogo)->done(QDialog::Accepted);
    });
    risposta.start(1);
    auto* pulsante = finestra.findChild<QPushButton*>(QStringLiteral("Command1"));
    QTest::mouseClick(pulsante, Qt::LeftButton, {}, pulsante->rect().center());
    const auto fine = Orologio::now();
    processore = ProcessoreFilo() - processore;
    if (!accettato || !finestra.ultimaAnalisi() || finestra.ultimaAnalisi()->analisi.lunghezza != lunghezza)
        Fallisci("the window did not show the file's analysis");
    return {Millisecondi(fine - *accettato), processore};
}

// Tells when the widget it watches has painted.
class Pittura : public QObject {
public:
    bool dipinto = false;

protected:
    bool eventFilter(QObject*, QEvent* evento) override
    {
        dipinto = dipinto || evento->type() == QEvent::Paint;
        return false;
    }
};

// Types letters over the key, one field at a time, each timed until the preview has painted.
std::vector<Tempo> Tasti(Decifrazione& finestra, int giri)
{
    auto* anteprima = finestra.findChild<QPlainTextEdit*>(QStringLiteral("Anteprima"));
    // The file's first 20,000 characters, each CR LF shown as one line end.
    if (anteprima->toPlainText().size() < 19'000)
        Fallisci("the preview is shorter than 20,000 characters");
    Pittura pittura;
    anteprima->viewport()->installEventFilter(&pittura);
    QTest::qWait(200);
    std::vector<Tempo> tempi;
    for (int i = 0; i < giri * TastiPerGiro; ++i) {
        auto* campo = finestra.findChild<QLineEdit*>(QStringLiteral("Chiave(%1)").arg(i % 26 + 1));
        campo->setFocus();
        campo->selectAll();
        QCoreApplication::processEvents();
        pittura.dipinto = false;
        const auto inizio = Orologio::now();
        const double processore = ProcessoreFilo();
        QTest::keyClick(campo, static_cast<char>('a' + (i * 7 + i / 26) % 26));
        while (!pittura.dipinto && Orologio::now() - inizio < std::chrono::seconds(5))
            QCoreApplication::processEvents();
        if (!pittura.dipinto)
            Fallisci("the preview was not redrawn");
        tempi.push_back({Millisecondi(Orologio::now() - inizio), ProcessoreFilo() - processore});
    }
    return tempi;
}

// Every file in both windows, run by run, then the keys in the deciphering window.
int Misura(int giri, const std::vector<QString>& file)
{
    Registro registro;
    registro.avvia();
    Varnel& varnel = registro.varnel();
    Avanzata& avanzata = registro.avanzata();
    avanzata.apri();
    avanzata.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QString::fromUcs4(SimboliAvanzata, 26));
    const Criterio lettere = ModoLettere::SenzaDistinzione;
    const Criterio simboli = *SimboliDaTesto(SimboliAvanzata);

    // Run by run, each file in each window beside the engine on it, interleaved.
    struct Tempi {
        std::vector<Tempo> varnel, avanzata;
        std::vector<double> motoreLettere, motoreSimboli;
    };
    std::vector<Tempi> tempi(file.size());
    std::optional<UltimaAnalisi> perDecifrazione;
    for (int g = 0; g < giri; ++g) {
        for (std::size_t f = 0; f < file.size(); ++f) {
            std::uint64_t lunghezza = 0;
            tempi[f].motoreLettere.push_back(Motore(file[f], lettere, lunghezza));
            tempi[f].varnel.push_back(AccettoARitorno(varnel, file[f], lunghezza));
            if (!perDecifrazione && lunghezza >= 20'000)
                perDecifrazione = varnel.ultimaAnalisi();
            tempi[f].motoreSimboli.push_back(Motore(file[f], simboli, lunghezza));
            tempi[f].avanzata.push_back(AccettoARitorno(avanzata, file[f], lunghezza));
        }
    }
    std::printf("accept to handler return, medians of %d runs (ms)\n", giri);
    std::printf("(UI CPU: the user-interface thread's processor time over the same span)\n");
    std::printf("%-32s %9s %9s %9s %9s %9s %9s\n", "file", "Varnel", "UI CPU", "engine", "Avanzata", "UI CPU",
                "engine è");
    for (std::size_t f = 0; f < file.size(); ++f) {
        const auto& t = tempi[f];
        std::printf("%-32s %9.2f %9.2f %9.2f %9.2f %9.2f %9.2f\n", qPrintable(QFileInfo(file[f]).fileName()),
                    Mediana(Di(t.varnel, &Tempo::parete)), Mediana(Di(t.varnel, &Tempo::processore)),
                    Mediana(t.motoreLettere), Mediana(Di(t.avanzata, &Tempo::parete)),
                    Mediana(Di(t.avanzata, &Tempo::processore)), Mediana(t.motoreSimboli));
    }
    std::fflush(stdout);
    if (!perDecifrazione)
        Fallisci("no file of at least 20,000 characters");
    registro.apriDecifrazione(varnel, *perDecifrazione);
    const auto tasti = Tasti(registro.decifrazione(), giri);
    const auto pareti = Di(tasti, &Tempo::parete);
    std::printf("key typed in Decifrazione to preview redrawn (20,000 characters), %zu keys: median %.2f ms, "
                "max %.2f ms, UI CPU median %.2f ms\n",
                tasti.size(), Mediana(pareti), *std::ranges::max_element(pareti),
                Mediana(Di(tasti, &Tempo::processore)));
    std::fflush(stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        Fallisci("uso: tempi_finestre GIRI FILE...");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    QApplication applicazione(argc, argv);
    PreparaApplicazione();
    const int giri = std::atoi(argv[1]);
    std::vector<QString> file;
    for (int i = 2; i < argc; ++i)
        file.push_back(QFileInfo(QString::fromLocal8Bit(argv[i])).absoluteFilePath());

    // Driven from inside the event loop, as the program's commands are: what Qt defers to the
    // end of a command then waits for that end, not for the next nested loop.
    int esito = 1;
    QTimer::singleShot(0, [&] {
        esito = Misura(giri, file);
        QCoreApplication::exit();
    });
    QApplication::exec();
    return esito;
}
