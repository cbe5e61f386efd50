// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Cifrario.h"
#include "UltimaAnalisi.h"

#include <QString>
#include <QWidget>

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace varnel {

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

public slots:
    void cambiaLingua();
    void chiavePerFrequenza();
    void proponiChiave();
    void completaChiave();
    void azzeraChiave();
    void copiaChiave();
    void salvaTesto();

private:
    void costruisciClassifica(QWidget* pannello);
    void costruisciChiave(QWidget* pannello);
    void costruisciPulsanti(QWidget* pannello);

    [[nodiscard]] Lingua lingua() const;
    [[nodiscard]] Chiave chiave() const;
    void impostaChiave(const Chiave& chiave);
    void chiaveCambiata();
    void mostraSimboli();
    void mostraClassifica();
    void mostraAnteprima();
    void mostraStatistiche();
    void marcaDoppioni();
    void avvisa(const QString& testo);
    // Runs `lavoro` on a worker, with a cancellable progress dialog after half a second; returns
    // when it has ended, or been cancelled (Annullata).
    template <class T>
    Esito<T> suLavoratore(const QString& testo, std::function<Esito<T>(Avanzamento&)> lavoro);

    [[nodiscard]] QString simbolo(std::size_t slot) const;
    [[nodiscard]] QString sottoChiave(const Ngramma& ngramma, const Chiave& chiave) const;

    QComboBox* m_lingua = nullptr;
    QTableWidget* m_classifica = nullptr;
    std::array<QLabel*, NumeroSlot> m_simboli{};
    std::array<QLineEdit*, NumeroSlot> m_chiave{};
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
    std::u32string m_inizio;                                 // the beginning of the file as decoded
    std::vector<std::uint8_t> m_sequenza;                    // its counted symbols, for the n-grams and the solver
    std::vector<Ngramma> m_bigrammi, m_trigrammi, m_doppie;  // of the text, whatever the key
    bool m_caricaChiave = false;                             // the key is being set whole: one update at the end
    bool m_occupato = false;                                 // a command is running on a worker
};

}  // namespace varnel
