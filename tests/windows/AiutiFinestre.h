// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Aiuti.h"  // the core tests' helpers: temporary folders
#include "Avanzata.h"
#include "Decifrazione.h"
#include "Form2.h"
#include "Registro.h"
#include "SceltaFile.h"
#include "UltimaAnalisi.h"
#include "Varnel.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
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

// A command of an analysis window's menu.
inline QAction* Azione(const QWidget& finestra, const char* nome)
{
    return Trova<QMenu>(finestra, "MenuAnalisi")->findChild<QAction*>(nome);
}

// The text of a label, a line or a text box.
inline QString Testo(const QWidget& finestra, const QString& nome)
{
    const QWidget* w = Trova(finestra, nome);
    if (const auto* casella = qobject_cast<const QPlainTextEdit*>(w))
        return casella->toPlainText();
    const auto* riga = qobject_cast<const QLineEdit*>(w);
    return riga ? riga->text() : qobject_cast<const QLabel*>(w)->text();
}

// Activates the window and puts the focus on `nome`, as a click there would.
inline void Fuoco(QWidget& finestra, const QString& nome)
{
    finestra.activateWindow();
    QApplication::setActiveWindow(&finestra);
    Trova(finestra, nome)->setFocus(Qt::OtherFocusReason);
}

inline void Tasto(Qt::Key tasto, Qt::KeyboardModifiers modificatori = {})
{
    QTest::keyClick(QApplication::focusWidget(), tasto, modificatori);
}

inline void Clic(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); }

// Answers the first modal widget of type T that shows up while the result lives; `venuta` tells
// whether one came.
struct Risposta {
    bool venuta = false;
    QTimer timer;
};

template <class T, class R = Risposta, class Azione>
std::unique_ptr<R> Rispondi(Azione azione)
{
    auto risposta = std::make_unique<R>();
    QObject::connect(&risposta->timer, &QTimer::timeout, [r = risposta.get(), azione] {
        if (auto* modale = qobject_cast<T*>(QApplication::activeModalWidget()); modale && modale->isVisible()) {
            r->timer.stop();
            r->venuta = true;
            azione(*r, modale);
        }
    });
    risposta->timer.start(10);
    return risposta;
}

// The text of a notice, which is always a message box titled "Varnel" with one OK button and no
// icon, its text shown as it is (a file named <b>x stays <b>x).
struct Avviso : Risposta {
    QString testo;
};

inline std::unique_ptr<Avviso> RispondiAvviso()
{
    return Rispondi<QMessageBox, Avviso>([](Avviso& avviso, QMessageBox* box) {
        avviso.testo = box->text();
        EXPECT_EQ(box->windowTitle(), "Varnel");
        EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
        EXPECT_EQ(box->buttons().size(), 1);
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        box->button(QMessageBox::Ok)->click();
    });
}

// Answers the next file dialog with a path typed into its file name box as a user would (the path
// need not exist), or cancels it when the path is empty.
inline std::unique_ptr<Risposta> RispondiFile(const QString& percorso)
{
    return Rispondi<QFileDialog>([percorso](Risposta&, QFileDialog* dialogo) {
        if (percorso.isEmpty()) {
            static_cast<QDialog*>(dialogo)->reject();
        } else {
            dialogo->findChild<QLineEdit*>("fileNameEdit")->setText(percorso);
            static_cast<QDialog*>(dialogo)->done(QDialog::Accepted);
        }
    });
}

// Does `azione`, answering the file dialog it opens with `percorso`; whether one came.
template <class Azione>
bool ConFile(const QString& percorso, Azione azione)
{
    const auto scelta = RispondiFile(percorso);
    azione();
    return scelta->venuta;
}

// A path as Qt spells it, with forward slashes on every system.
inline QString Percorso(const std::filesystem::path& p)
{
    return QDir::fromNativeSeparators(QString::fromStdU16String(p.u16string()));
}

// The ciphertext of the Italian sample that comes with the program.
inline const QString CifratoEsempio = QStringLiteral(VARNEL_SORGENTI "/resources/esempio/cifrato.txt");

// Chooses a file for the window's "Analisi frequenze" and waits for the analysis to finish.
inline void Analizza(FinestraAnalisi& finestra, const QString& percorso)
{
    EXPECT_TRUE(ConFile(percorso, [&] { Clic(Trova<QPushButton>(finestra, "Command1")); }));
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
    // The deciphering window on a file analysed under `criterio`, opened as the analysis windows'
    // menu opens it (no file dialog: a path of the build machine is found under Wine only this way).
    Decifrazione& apriDecifrazione(const QString& percorso, const Criterio& criterio)
    {
        Avanzamento avanzamento;
        UltimaAnalisi ultima;
        ultima.percorso = PercorsoDiSistema(percorso);
        const auto analisi = AnalizzaFile(ultima.percorso, criterio, avanzamento, ultima.impronta);
        EXPECT_TRUE(analisi.riuscito());
        ultima.criterio = criterio;
        ultima.analisi = analisi.valore();
        registro.apriDecifrazione(varnel(), ultima);
        return registro.decifrazione();
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
