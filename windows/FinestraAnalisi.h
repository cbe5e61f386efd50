// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AnalisiFile.h"
#include "Controlli.h"
#include "DialogoAvanzamento.h"
#include "Finestra.h"
#include "Grafico.h"
#include "Lingue.h"
#include "StatoAnalisi.h"
#include "UltimaAnalisi.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QCheckBox;
class QIODevice;
class QMenu;
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
    // The last analysis the window shows; nothing before the first, or once the window reopens.
    [[nodiscard]] const std::optional<UltimaAnalisi>& ultimaAnalisi() const { return m_ultima; }

signals:
    void richiestaInformazioni();
    void richiestaAltraFinestra();
    // An analysis has succeeded and the window shows it.
    void analisiRiuscita();
    void richiestaDecifrazione();
    void richiestaCrittogramma();

public slots:
    void Command1_Click();
    // Analyses the file as if it had been chosen in the file dialog.
    void analizzaFile(const std::filesystem::path& percorso);
    // The commands of the window's menu.
    void copiaRisultati();
    void analizzaAppunti();
    void esportaCsv();
    void salvaGrafico();
    void scegliRiferimento();
    // "Decifrazione...": the deciphering window on the last analysis, once there is one.
    void apriDecifrazione();
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

    // What the window's settings ask an analysis to count, and what to change in the window once it
    // has succeeded; nothing, after a notice, when the settings are not valid.
    struct Richiesta {
        Criterio criterio;
        std::function<void()> applica;
    };
    [[nodiscard]] virtual std::optional<Richiesta> richiesta() = 0;
    // Whether the window counts letters, which can be set beside a language's frequencies.
    [[nodiscard]] virtual bool contaLettere() const { return false; }

    // A notice in a modal message box titled "Varnel", with one OK button and no icon.
    void avvisa(const QString& testo);

    void costruisci(QWidget* area, double twipsPerPixel) override;
    void dimenticaControlli() override;
    void closeEvent(QCloseEvent* evento) override;
    void contextMenuEvent(QContextMenuEvent* evento) override;
    void dragEnterEvent(QDragEnterEvent* evento) override;
    void dropEvent(QDropEvent* evento) override;

    Grafico m_grafico;

private:
    using Lavoro = varnel::Lavoro<Analisi>;
    class Attesa;

    // Where an analysis reads: a file, or text pasted from the clipboard.
    struct Fonte {
        std::filesystem::path percorso;
        QString testo;
    };
    using Lettura = std::function<Esito<Analisi>(Avanzamento&)>;

    // Analyses the source; the window changes only once the analysis has succeeded, when the
    // request's `applica` runs first, so a cancel or an unreadable file leaves it as it was.
    void analizza(const Fonte& fonte, const Richiesta& richiesta);
    void MostraRisultati(const Conteggi& conteggi);
    // Runs `lettura` on a worker, showing `descrizione` in the progress dialog.
    [[nodiscard]] Esito<Analisi> analizzaConAvanzamento(const QString& descrizione, Lettura lettura);

    void creaMenu();
    void apriMenu(const QPoint& dove);
    void aggiornaMenu();
    void aggiornaRiferimenti();
    // A text box keeps its own copy, paste and edit menu.
    [[nodiscard]] bool fuocoInCasellaTesto() const;
    // The file of the last analysis as the user knows it, or the clipboard; empty before any.
    [[nodiscard]] QString nomeAnalizzato() const;
    // The path a save dialog proposes: beside the file analysed, named after it.
    [[nodiscard]] QString propostaSalvataggio(const QString& finale) const;
    // Writes a whole file or, on failure, tells the user and leaves none behind.
    void salva(const QString& filtro, const QString& finale, std::string_view contenuto);

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
    std::optional<UltimaAnalisi> m_ultima;
    std::optional<Lingua> m_riferimento;  // the language whose markers stand over the bars

    // The window's menu; its commands live as long as the window.
    QMenu* m_menu = nullptr;
    QAction* m_riferimentoNessuno = nullptr;
    QAction* m_riferimentoItaliano = nullptr;
    QAction* m_riferimentoInglese = nullptr;
    QAction* m_copia = nullptr;
    QAction* m_esportaCsv = nullptr;
    QAction* m_salvaGrafico = nullptr;
    QAction* m_decifrazione = nullptr;
    Attesa* m_attesa = nullptr;  // the wait of the running analysis
    // Analyses given up while the system still held their reading; each touches only its own record.
    std::vector<std::shared_ptr<Lavoro>> m_abbandonati;
};

}  // namespace varnel
