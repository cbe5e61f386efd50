// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Risultati.h"
#include "Simboli.h"
#include "Stiramento.h"

#include <QImage>
#include <QString>

#include <vector>

class QLabel;
class QWidget;

namespace varnel {

// The bar chart that both analysis windows share: 26 bars, their percentage and symbol labels,
// the gridlines and the axis captions. Built afresh with its window's controls.
class Grafico {
public:
    // Builds the chart's controls in `area`, behind everything the window adds later.
    void costruisci(QWidget* area, double twipsPerPixel);

    void mostra(const Risultati& risultati);
    void stira(const Stiramento& stiramento);
    void ripristinaAssi();

    [[nodiscard]] std::array<std::string, NumeroSlot> simboli() const;
    void impostaSimboli(const Simboli& simboli);
    [[nodiscard]] std::array<float, NumeroSlot> altezze() const;

    // What the legend beside the markers says: what the bars count, and the markers' language.
    struct Legenda {
        QString barre;
        QString segni;
    };
    // Sets a language's markers over the bars at these heights, in percent of the denominator, on
    // the chart as `stato` has it, with their legend; hidden, they wait for a language to be chosen.
    void mostraRiferimenti(std::span<const double, NumeroSlot> percentuali, const StatoAnalisi& stato,
                           const Legenda& legenda);
    void nascondiRiferimenti();

    // The chart from the top axis caption to the symbol row, markers included, at `densita` pixels
    // per pixel of the layout, under a title and over the legend when the markers show; it declares
    // its density, so that a document shows it at the size of the screen.
    [[nodiscard]] QImage immagine(double densita, const QString& titolo) const;

private:
    void impostaBarra(std::size_t slot, Barra barra);
    // Each bar tells a screen reader its symbol and its percentage, as the labels under it show.
    void aggiornaVoci();

    std::array<QLabel*, NumeroSlot> m_blocchi{};
    std::array<QLabel*, NumeroSlot> m_frequenze{};
    std::array<QLabel*, NumeroSlot> m_lettere{};
    std::array<QLabel*, NumeroSlot> m_riferimenti{};
    std::array<QLabel*, 4> m_legenda{};  // the bars' swatch and text, the markers' swatch and text
    Legenda m_testiLegenda;
    std::vector<QWidget*> m_parti;  // every control of the chart, for its picture
    QLabel* m_perc1 = nullptr;
    QLabel* m_perc2 = nullptr;
    double m_twipsPerPixel = 15;
};

}  // namespace varnel
