// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Aiuti.h"  // the core tests' helpers: temporary folders
#include "Avanzata.h"
#include "Form2.h"
#include "Registro.h"
#include "Varnel.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

// Failures show strings as text.
inline void PrintTo(const QString& testo, std::ostream* uscita) { *uscita << '"' << testo.toStdString() << '"'; }

namespace varnel::prova {

template <class T = QWidget>
T* Trova(const QWidget& finestra, const QString& nome)
{
    T* widget = finestra.findChild<T*>(nome);
    EXPECT_NE(widget, nullptr) << nome.toStdString();
    return widget;
}

inline QString Testo(const QWidget& finestra, const QString& nome) { return Trova<QLabel>(finestra, nome)->text(); }

inline void Clic(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); }

// Watches for a modal widget of type T for as long as it lives, and answers the first that shows up.
class Attesa {
public:
    template <class T, class Risposta>
    void avvia(Risposta risposta)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this, risposta] {
            if (auto* modale = qobject_cast<T*>(QApplication::activeModalWidget()); modale && modale->isVisible()) {
                m_timer.stop();
                risposta(modale);
            }
        });
        m_timer.start(10);
    }

private:
    QTimer m_timer;
};

// What a modal message box showed before the test pressed its OK button.
struct Avviso {
    bool mostrato = false;
    QString titolo;
    QString testo;
    QMessageBox::Icon icona = QMessageBox::NoIcon;
    Qt::TextFormat formato = Qt::AutoText;
    qsizetype pulsanti = 0;
    Attesa attesa;
};

// Answers the next modal message box while the result lives: records it and presses OK.
inline std::unique_ptr<Avviso> RispondiAvviso()
{
    auto avviso = std::make_unique<Avviso>();
    avviso->attesa.avvia<QMessageBox>([a = avviso.get()](QMessageBox* box) {
        a->mostrato = true;
        a->titolo = box->windowTitle();
        a->testo = box->text();
        a->icona = box->icon();
        a->formato = box->textFormat();
        a->pulsanti = box->buttons().size();
        box->button(QMessageBox::Ok)->click();
    });
    return avviso;
}

struct SceltaFile {
    bool venuta = false;
    Attesa attesa;
};

// Answers the next file dialog while the result lives, with a path typed into its file name box as a
// user would (the path need not exist), or cancelling it when the path is empty.
inline std::unique_ptr<SceltaFile> RispondiFile(const QString& percorso)
{
    auto scelta = std::make_unique<SceltaFile>();
    scelta->attesa.avvia<QFileDialog>([percorso, s = scelta.get()](QFileDialog* dialogo) {
        s->venuta = true;
        if (percorso.isEmpty()) {
            static_cast<QDialog*>(dialogo)->reject();
        } else {
            dialogo->findChild<QLineEdit*>("fileNameEdit")->setText(percorso);
            static_cast<QDialog*>(dialogo)->done(QDialog::Accepted);
        }
    });
    return scelta;
}

inline QString Percorso(const std::filesystem::path& p) { return QString::fromStdString(p.string()); }

// Chooses a file for the window's "Analisi frequenze" and waits for the analysis to finish.
inline void Analizza(FinestraAnalisi& finestra, const QString& percorso)
{
    const auto scelta = RispondiFile(percorso);
    Clic(Trova<QPushButton>(finestra, "Command1"));
    EXPECT_TRUE(scelta->venuta);
}

inline float AltezzaTwips(const QWidget& finestra, int i)
{
    return Trova(finestra, QStringLiteral("Blocco(%1)").arg(i))->property("heightTwips").toFloat();
}
inline float TopTwips(const QWidget& finestra, int i)
{
    return Trova(finestra, QStringLiteral("Blocco(%1)").arg(i))->property("topTwips").toFloat();
}

// The program as it stands at start: the main window open, nothing else created.
class Programma : public testing::Test {
protected:
    void SetUp() override { registro.avvia(); }
    void TearDown() override { QApplication::closeAllWindows(); }

    Varnel& varnel() { return registro.varnel(); }
    // The main window, or the advanced one, opened if it is not.
    FinestraAnalisi& finestra(bool avanzata)
    {
        if (!avanzata)
            return varnel();
        registro.avanzata().apri();
        return registro.avanzata();
    }
    QString scrivi(const std::string& nome, std::string_view contenuto)
    {
        return Percorso(cartella.scrivi(nome, contenuto));
    }

    // Runs the event loop, doing `azione` inside it; true when the program then ends by itself
    // within `millisecondi`, as it does once its last window has closed.
    template <class Azione>
    bool finisceEntro(int millisecondi, Azione azione)
    {
        bool scaduto = false;
        QTimer limite;
        limite.setSingleShot(true);
        QObject::connect(&limite, &QTimer::timeout, [&] {
            scaduto = true;
            QCoreApplication::exit(1);
        });
        limite.start(millisecondi);
        QTimer::singleShot(0, azione);
        return QApplication::exec() == 0 && !scaduto;
    }

    Registro registro;
    CartellaTemporanea cartella;
};

}  // namespace varnel::prova
