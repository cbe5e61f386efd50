// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ChiaveInLavoro.h"
#include "Cifrario.h"
#include "UltimaAnalisi.h"

#include <QString>
#include <QWidget>

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTableWidget;

namespace varnel {

class CasellaChiave;
class Evidenziatore;

// The n-grams the statistics list.
inline constexpr std::size_t NgrammiMostrati = 10;

// From the frequencies to the plaintext: ranks beside a language's letters, a key to try with the
// text changing under it, statistics, a key proposed for the language, the whole text saved.
class Decifrazione : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double indiceCoincidenza READ indiceCoincidenza)
public:
    Decifrazione();
    ~Decifrazione() override;

    // Takes an analysis (the first, or the opening window's next one) and shows the window.
    void mostraAnalisi(const UltimaAnalisi& dati);
    [[nodiscard]] double indiceCoincidenza() const { return IndiceCoincidenza(m_dati.analisi.conteggi); }

signals:
    void richiestaCrittogramma();

public slots:
    void cambiaLingua();
    void chiavePerFrequenza();
    void proponiChiave();
    void completaChiave();
    void azzeraChiave();
    void copiaChiave();
    void salvaTesto();
    void salvaChiave();
    void apriChiave();
    void annulla();
    void ripeti();

private:
    [[nodiscard]] QMenuBar* costruisciMenu();
    void costruisciClassifica(QWidget* pannello);
    void costruisciChiave(QWidget* pannello);
    void costruisciPulsanti(QWidget* pannello);
    void costruisciTesti(QSplitter* riquadri);

    // The key by hand: what a box asks.
    void digitaLettera(std::size_t slot, char lettera);
    void cancellaLettera(std::size_t slot, bool indietro);
    void spostaCursore(std::size_t slot, int passo);
    void incollaChiave(std::size_t slot);
    void vaiACasella(std::size_t slot);

    [[nodiscard]] Lingua lingua() const;
    [[nodiscard]] const Chiave& chiave() const { return m_storia.attuale(); }
    // Makes `chiave` the key, as one step of its history.
    void impostaChiave(const Chiave& chiave, Modifica perche);
    void mostraChiave();
    void chiaveCambiata();
    void mostraSimboli();
    void mostraClassifica();
    void mostraAnteprima();
    void mostraStatistiche();
    void marcaDoppioni();
    void mostraLibere();
    void mostraStoria();
    // The statistics whole and the preview the rest, on opening.
    void dividiTesti();
    void avvisa(const QString& testo);
    // Runs `lavoro` on a worker, with a cancellable progress dialog after half a second; returns
    // when it has ended, or been cancelled (Annullata).
    template <class T>
    Esito<T> suLavoratore(const QString& testo, std::function<Esito<T>(Avanzamento&)> lavoro);
    // The key the solver finds keeping the letters of `tenute` (a whole proposal when there are
    // none), or nothing when cancelled or while another command runs.
    [[nodiscard]] std::optional<Chiave> cercaChiave(const Chiave& tenute);

    [[nodiscard]] QString simbolo(std::size_t slot) const;
    [[nodiscard]] QString sottoChiave(const Ngramma& ngramma, const Chiave& chiave) const;

    QComboBox* m_lingua = nullptr;
    QTableWidget* m_classifica = nullptr;
    std::array<QLabel*, NumeroSlot> m_simboli{};
    std::array<CasellaChiave*, NumeroSlot> m_chiave{};
    QLabel* m_lettereLibere = nullptr;
    QLabel* m_simboliLiberi = nullptr;
    QAction* m_annulla = nullptr;
    QAction* m_ripeti = nullptr;
    QSplitter* m_riquadri = nullptr;
    QPushButton* m_perFrequenza = nullptr;
    QPushButton* m_proponi = nullptr;
    QPushButton* m_completa = nullptr;
    QPushButton* m_azzera = nullptr;
    QPushButton* m_copia = nullptr;
    QPushButton* m_salva = nullptr;
    QPlainTextEdit* m_anteprima = nullptr;
    QPlainTextEdit* m_statistiche = nullptr;
    Evidenziatore* m_evidenziatore = nullptr;

    UltimaAnalisi m_dati;
    StoriaChiave m_storia;
    std::u32string m_inizio;                                 // the beginning of the file as decoded
    std::vector<std::uint8_t> m_sequenza;                    // its counted symbols, for the n-grams and the solver
    std::vector<Ngramma> m_bigrammi, m_trigrammi, m_doppie;  // of the text, whatever the key
    bool m_caricaChiave = false;                             // the boxes are being filled from the key
    bool m_occupato = false;                                 // a command is running on a worker
};

}  // namespace varnel
