// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Cifratura.h"

#include <QWidget>

#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace varnel {

// The teacher's side: a plaintext enciphered under a key drawn at random, built from a keyword or
// typed, saved as a ciphertext for Varnel, as a key file and as a worksheet.
class Crittogramma : public QWidget {
    Q_OBJECT
public:
    Crittogramma();
    ~Crittogramma() override;

    // Shows the window, or brings it to the front.
    void apri();

public slots:
    void apriTesto();
    void chiaveCasuale();
    void salvaCrittogramma();
    void salvaChiave();
    void salvaScheda();

private:
    void costruisciChiave(QWidget* pannello);
    void costruisciPulsanti(QWidget* pannello);

    void parolaCambiata();
    void semeCambiato();
    void chiaveScritta();
    // Takes a key made from the keyword or the seed, with the words that say how.
    void impostaAlfabeto(const Alfabeto& alfabeto, const QString& origine);
    // Enciphers the text anew under the key and the options.
    void cifra();
    // Where a save dialog starts: beside the plaintext file opened, or in the home folder.
    [[nodiscard]] QString proposta(const QString& finale) const;

    QPlainTextEdit* m_testo = nullptr;
    QLineEdit* m_parola = nullptr;
    QPushButton* m_casuale = nullptr;
    QSpinBox* m_seme = nullptr;
    QLineEdit* m_chiave = nullptr;
    QLabel* m_origine = nullptr;
    QComboBox* m_spazi = nullptr;
    QCheckBox* m_accenti = nullptr;
    QCheckBox* m_frequenze = nullptr;
    QPlainTextEdit* m_cifrato = nullptr;
    QPushButton* m_salvaCrittogramma = nullptr;
    QPushButton* m_salvaChiave = nullptr;
    QPushButton* m_salvaScheda = nullptr;

    std::optional<Alfabeto> m_alfabeto;  // none while the typed key is not one
    TestoCifrato m_risultato;
    QString m_file;  // the plaintext file last opened
};

}  // namespace varnel
