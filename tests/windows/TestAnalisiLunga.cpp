// SPDX-License-Identifier: GPL-3.0-or-later
// Analyses of inputs that never end or never answer: the window lives on, unchanged, and nothing
// reaches it until the analysis is over.
#include "AiutiFinestre.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QElapsedTimer>
#include <QProgressDialog>

#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>

#include <thread>

namespace varnel::prova {
namespace {

class LongAnalysis : public Programma {
protected:
    void SetUp() override
    {
        Programma::SetUp();
        Analizza(varnel(), scrivi("ab.txt", "ab"));  // what the window shows, and must go on showing
        riepilogo = Trova<QPlainTextEdit>(varnel(), "Text2")->toPlainText();
    }

    QString fifo(const std::string& nome)
    {
        const auto percorso = cartella.percorso() / nome;
        EXPECT_EQ(::mkfifo(percorso.c_str(), 0600), 0);
        return Percorso(percorso);
    }

    // Analyses `file`; once the progress dialog is up, runs `intanto` and presses "Annulla". True
    // when the dialog came and the handler returned within 200 ms of the press.
    bool annulla(const QString& file, const std::function<void(QProgressDialog&)>& intanto = {})
    {
        QElapsedTimer dallaPressione;
        Attesa attesa;
        attesa.avvia<QProgressDialog>([&](QProgressDialog* dialogo) {
            if (intanto)
                intanto(*dialogo);
            dallaPressione.start();
            dialogo->findChild<QPushButton*>()->click();
        });
        Analizza(varnel(), file);
        return dallaPressione.isValid() && dallaPressione.elapsed() < 200;
    }

    void comePrima()
    {
        EXPECT_EQ(Testo(varnel(), "Freq(1)"), "50 %");
        EXPECT_EQ(varnel().stato().Totale, 2u);
        EXPECT_EQ(Trova<QPlainTextEdit>(varnel(), "Text2")->toPlainText(), riepilogo);
    }

    QString riepilogo;
};

TEST_F(LongAnalysis, InputsThatNeverAnswerAreCancelledAtOnce)
{
    QString etichetta;
    EXPECT_TRUE(annulla("/dev/zero", [&](QProgressDialog& d) { etichetta = d.labelText(); }));
    EXPECT_TRUE(etichetta.startsWith("Analisi di \"zero\" in corso")) << etichetta.toStdString();

    EXPECT_TRUE(annulla(fifo("senza-scrittore")));

    const QString muta = fifo("muta");
    const int scrittore = ::open(QFile::encodeName(muta).constData(), O_RDWR);  // a writer that never writes
    EXPECT_TRUE(annulla(muta));
    ::close(scrittore);

    const QString lenta = fifo("lenta");
    std::jthread goccia([p = QFile::encodeName(lenta)](const std::stop_token& fine) {
        const int fd = ::open(p.constData(), O_RDWR);
        while (!fine.stop_requested() && ::write(fd, "a", 1) == 1)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ::close(fd);
    });
    EXPECT_TRUE(annulla(lenta));
    goccia.request_stop();

    int principale = -1;
    int terminale = -1;
    ASSERT_EQ(::openpty(&principale, &terminale, nullptr, nullptr, nullptr), 0);
    EXPECT_TRUE(annulla(QString::fromLocal8Bit(::ttyname(terminale))));  // nobody types into it
    ::close(terminale);
    ::close(principale);
    comePrima();
}

TEST_F(LongAnalysis, NamesAreShownAsTheyAre)
{
    const QLabel* etichetta = nullptr;
    EXPECT_TRUE(annulla(fifo("<b>x"), [&](QProgressDialog& d) {
        etichetta = d.findChild<QLabel*>();
        EXPECT_EQ(etichetta->textFormat(), Qt::PlainText);
        EXPECT_TRUE(etichetta->text().contains("\"<b>x\"")) << etichetta->text().toStdString();
    }));
    EXPECT_NE(etichetta, nullptr);

    const auto cartellaStrana = cartella.percorso() / "<b>y";
    std::filesystem::create_directory(cartellaStrana);
    const auto avviso = RispondiAvviso();
    Analizza(varnel(), Percorso(cartellaStrana));
    EXPECT_EQ(avviso->formato, Qt::PlainText);
    EXPECT_TRUE(avviso->testo.contains("<b>y\"")) << avviso->testo.toStdString();
}

TEST_F(LongAnalysis, NothingReachesTheWindowMeanwhile)
{
    Varnel& w = varnel();
    EXPECT_TRUE(annulla(fifo("infinita"), [&](QProgressDialog& dialogo) {
        for (QWidget* controllo : w.findChildren<QWidget*>()) {
            if (controllo->window() != &w)
                continue;  // the dialog's own
            if (auto* pulsante = qobject_cast<QAbstractButton*>(controllo))
                pulsante->click();
            QAccessibleInterface* accessibile = QAccessible::queryAccessibleInterface(controllo);
            if (QAccessibleActionInterface* azioni = accessibile ? accessibile->actionInterface() : nullptr) {
                for (const QString& azione : azioni->actionNames())
                    azioni->doAction(azione);
            }
        }
        QTest::qWait(300);                                       // a press action lands a moment later
        EXPECT_EQ(QApplication::activeModalWidget(), &dialogo);  // no notice, no file dialog
        EXPECT_TRUE(w.isVisible());
        for (const QWidget* finestra : QApplication::topLevelWidgets())
            EXPECT_FALSE(finestra->objectName() == "Form2" && finestra->isVisible());
        EXPECT_FALSE(registro.avanzata().isVisible());
    }));
    EXPECT_TRUE(Trova<QRadioButton>(w, "Option3")->isChecked());
    EXPECT_TRUE(Trova<QCheckBox>(w, "Check1")->isChecked());
    comePrima();
}

TEST_F(LongAnalysis, ClosingTheWindowCancelsItAndEndsTheProgram)
{
    const QString file = fifo("infinita");
    for (const int dopo : {100, 700}) {  // before the progress dialog shows, and with it up
        varnel().apri();
        EXPECT_TRUE(finisceEntro(5000, [&] {
            QTimer::singleShot(dopo, &varnel(), [this] { varnel().close(); });
            Analizza(varnel(), file);
        }));
        EXPECT_FALSE(varnel().isVisible());
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(varnel().findChild<QPushButton*>(), nullptr);
}

TEST_F(LongAnalysis, QuittingMeanwhileEndsTheProgram)
{
    EXPECT_TRUE(finisceEntro(5000, [&] {
        QTimer::singleShot(700, qApp, &QCoreApplication::quit);
        Analizza(varnel(), fifo("infinita"));
    }));
}

}  // namespace
}  // namespace varnel::prova
