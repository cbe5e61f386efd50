// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AnalisiFile.h"
#include "Controlli.h"
#include "Decifrazione.h"
#include "Finestra.h"
#include "Grafico.h"
#include "StatoAnalisi.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

namespace varnel {

// What the two analysis windows share: the chart, the summary, the commands and icons, the
// analysis state and the one road that an analysis takes. Each window adds its own table.
class FinestraAnalisi : public Finestra {
    Q_OBJECT
public:
    ~FinestraAnalisi() override;

    [[nodiscard]] const StatoAnalisi& stato() const { return m_stato; }
    // The last analysis that succeeded, for the deciphering window; none before the first.
    [[nodiscard]] const std::optional<DatiDecifrazione>& ultimaAnalisi() const { return m_ultimaAnalisi; }

signals:
    void richiestaInformazioni();
    void richiestaAltraFinestra();
    void richiestaDecifrazione();
    void analisiRiuscita();

public slots:
    // "Decifrazione...": the deciphering window on the last analysis, once there is one.
    void apriDecifrazione();
    virtual void Command1_Click() = 0;
    void Command2_Click();
    void Command3_Click();
    void Check1_Click();
    void Image2_Click();
    void Label10_Click();
    void Image4_Click();
    void Label11_Click();

protected:
    explicit FinestraAnalisi(const QString& nomeClasse);

    // Taken by every handler before it does anything: one handler at a time in all the analysis
    // windows. A handler that waits (on a dialog, on an analysis) keeps the events flowing, and
    // whatever route one of them takes (input, a posted event, click(), a screen reader's press
    // action), it must not start a second handler. A handler that gets no turn returns at once.
    class Turno {
    public:
        explicit Turno(FinestraAnalisi& finestra);
        ~Turno();
        Turno(const Turno&) = delete;
        Turno& operator=(const Turno&) = delete;
        explicit operator bool() const { return m_uso.has_value(); }

    private:
        std::optional<InUso> m_uso;
    };

    // The rows of the window's own controls, from front to back; the rows that both windows share
    // stand behind them, and the chart behind everything.
    [[nodiscard]] virtual std::vector<Controllo> tabella() const = 0;
    // Takes the window's own controls once they are built.
    virtual void prendi(const ControlliPerNome& controlli) = 0;

    // Lets the user choose a file and analyses it; the window changes only once the analysis has
    // succeeded, when `applica` runs first, so a cancel or an unreadable file leaves it as it was.
    void analizza(const Criterio& criterio, const std::function<void()>& applica = {});

    // A notice in a modal message box titled "Varnel", with one OK button and no icon.
    void avvisa(const QString& testo);

    void costruisci(QWidget* area, double twipsPerPixel) override;
    void dimenticaControlli() override;
    void closeEvent(QCloseEvent* evento) override;

    Grafico m_grafico;

private:
    struct Lavoro;
    class Attesa;

    void MostraRisultati(const Conteggi& conteggi);
    [[nodiscard]] Esito<Analisi> analizzaConAvanzamento(const QString& percorso, const Criterio& criterio);

    inline static bool s_turnoPreso = false;

    // The controls that both windows wire, taken once they are built.
    struct Controlli {
        QPushButton* Command1 = nullptr;
        QPushButton* Command2 = nullptr;
        QPushButton* Command3 = nullptr;
        QCheckBox* Check1 = nullptr;
        QPlainTextEdit* Text2 = nullptr;
        EtichettaCliccabile* Image2 = nullptr;
        EtichettaCliccabile* Image4 = nullptr;
        EtichettaCliccabile* Label10 = nullptr;
        EtichettaCliccabile* Label11 = nullptr;
    };
    Controlli m_controlli;
    StatoAnalisi m_stato;
    std::optional<DatiDecifrazione> m_ultimaAnalisi;
    Attesa* m_attesa = nullptr;  // the wait of the running analysis
    // Analyses given up while the system still held their reading; each touches only its own record.
    std::vector<std::shared_ptr<Lavoro>> m_abbandonati;
};

}  // namespace varnel
