// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QWidget;

#include <memory>

namespace varnel {

class Avanzata;
class Crittogramma;
class Decifrazione;
struct UltimaAnalisi;
class Form2;
class Varnel;

// Holds the one instance of each window for the whole run, created on first use, and carries
// out the moves between them that the windows ask for.
class Registro : public QObject {
    Q_OBJECT
public:
    Registro();
    ~Registro() override;

    [[nodiscard]] Varnel& varnel();
    [[nodiscard]] Avanzata& avanzata();
    [[nodiscard]] Form2& form2();
    [[nodiscard]] Decifrazione& decifrazione();
    [[nodiscard]] Crittogramma& crittogramma();

    // "Decifrazione...": the deciphering window on the last analysis of the window that asks.
    void apriDecifrazione(const QWidget& richiedente, const UltimaAnalisi& dati);
    // A new analysis of `richiedente`: the deciphering window, when open on its analyses, follows it.
    void seguiAnalisi(const QWidget& richiedente, const UltimaAnalisi& dati);

    // Opens the main window, as the program does at start.
    void avvia();

private:
    template <class Finestra>
    void collega(Finestra& finestra);

    std::unique_ptr<Varnel> m_varnel;
    std::unique_ptr<Avanzata> m_avanzata;
    std::unique_ptr<Form2> m_form2;
    std::unique_ptr<Decifrazione> m_decifrazione;
    std::unique_ptr<Crittogramma> m_crittogramma;
    const QWidget* m_fonteDecifrazione = nullptr;  // the window whose analyses it shows
};

// Sets the program's name, version, icon, style and colours.
void PreparaApplicazione();

}  // namespace varnel
