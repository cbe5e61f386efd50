// SPDX-License-Identifier: GPL-3.0-or-later
#include "Grafico.h"

#include "Controlli.h"

#include "Riferimento.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QVariant>

#include <algorithm>
#include <cmath>

#include <vector>

namespace varnel {

namespace {

constexpr int LarghezzaColonna = 360;
// A reference marker reaches this far beyond each side of its bar, and is this thick.
constexpr int SportoRiferimento = 45;
constexpr int SpessoreRiferimento = 30;
// The picture of the chart: from the top axis caption to the symbol row, and across to the last
// symbol, whose caption reaches past the gridlines.
constexpr Rettangolo RiquadroImmagine = {120, 1560, 9855, 3495};
// A colour that none of the chart uses.
const QColor ColoreRiferimento(255, 140, 0);
// The legend, in the free room right of the buttons: a swatch and a text for the bars and for the markers.
constexpr std::array<Rettangolo, 4> PostiLegenda = {{
    {5280, 5205, 135, 165},
    {5520, 5160, 2520, 255},
    {5235, 5490, 225, 30},
    {5520, 5385, 2520, 255},
}};

// Bar k (from 0) as laid out, before any analysis sets its height.
constexpr Rettangolo BarraIniziale(std::size_t k)
{
    return {720 + LarghezzaColonna * static_cast<int>(k), 1680, 135, 2775};
}

QString Elemento(const char* nome, std::size_t indice)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(nome)).arg(indice);
}

// The chart's layout, from front to back.
std::vector<Controllo> Tabella()
{
    std::vector<Controllo> t = {
        {"Label1", Tipo::Etichetta, {120, 4320, 495, 255}, "0 %", {.colore = Colore::TestoEvidenziato}},
        {"Perc2", Tipo::Etichetta, {120, 3000, 495, 255}, "50 %", {.colore = Colore::TestoEvidenziato}},
        {"Perc1", Tipo::Etichetta, {120, 1560, 495, 255}, "100 %", {.colore = Colore::TestoEvidenziato}},
    };
    // Gridlines stand in front of the bars; Line3 is the baseline.
    for (const auto& [nome, y] :
         {std::pair{"Line5", 3840}, {"Line4", 2400}, {"Line3", 4440}, {"Line2", 3120}, {"Line1", 1680}})
        t.push_back({nome, Tipo::Linea, {720, y, 9120, 15}, {}, {.colore = Colore::Menu, .sfondo = Colore::Menu}});
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        t.push_back({Elemento("Lettera", k),
                     Tipo::Etichetta,
                     {720 + LarghezzaColonna * static_cast<int>(k), 4800, 255, 255},
                     QString(QChar(static_cast<char16_t>(u'a' + k))),
                     {.font = Font::SerifGrassetto}});
    }
    t.push_back(
        {Elemento("Freq", 0), Tipo::Etichetta, {3960, 600, 375, 255}, {}, {.colore = Colore::TestoEvidenziato}});
    // Each percentage label reaches 15 twips into the next: the later one stands in front, so
    // that no label covers the first digit of its neighbour.
    for (std::size_t i = NumeroSlot; i >= 1; --i) {
        t.push_back({Elemento("Freq", i),
                     Tipo::Etichetta,
                     {600 + LarghezzaColonna * static_cast<int>(i - 1), 4560, 375, 375},
                     "0 %",
                     {.font = Font::SerifPiccolo}});
    }
    t.push_back({Elemento("Blocco", 0), Tipo::Etichetta, {3480, 0, 135, 255}, {}, {}});
    for (std::size_t i = 1; i <= NumeroSlot; ++i) {
        t.push_back({Elemento("Blocco", i), Tipo::Etichetta, BarraIniziale(i - 1), {}, {.sfondo = Colore::Verde}});
    }
    return t;
}

}  // namespace

void Grafico::costruisci(QWidget* area, double twipsPerPixel)
{
    m_twipsPerPixel = twipsPerPixel;
    const auto tabella = Tabella();
    const auto controlli = CostruisciControlli(tabella, area, twipsPerPixel);
    const auto etichetta = [&](const QString& nome) { return Prendi<QLabel>(controlli, nome); };
    // Element 0 of the bars and of the percentages takes part in nothing.
    etichetta(Elemento("Blocco", 0))->hide();
    etichetta(Elemento("Freq", 0))->hide();
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        m_blocchi[k] = etichetta(Elemento("Blocco", k + 1));
        m_frequenze[k] = etichetta(Elemento("Freq", k + 1));
        m_lettere[k] = etichetta(Elemento("Lettera", k));
        const Rettangolo r = BarraIniziale(k);
        impostaBarra(k, {static_cast<float>(r.height), static_cast<float>(r.top)});
    }
    m_perc1 = etichetta("Perc1");
    m_perc2 = etichetta("Perc2");
    m_parti.assign(controlli.begin(), controlli.end());
    const QString suggerimento = QStringLiteral("Il tasto destro del mouse offre altre funzioni.");
    for (QWidget* parte : m_parti)
        parte->setToolTip(suggerimento);
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        // In front of its bar.
        auto* segno = new QLabel(area);
        segno->setObjectName(Elemento("Riferimento", k + 1));
        segno->setAutoFillBackground(true);
        QPalette tavolozza = segno->palette();
        tavolozza.setColor(QPalette::Window, ColoreRiferimento);
        segno->setPalette(tavolozza);
        segno->setToolTip(suggerimento);
        segno->hide();
        m_riferimenti[k] = segno;
        m_parti.push_back(segno);
    }
    for (std::size_t i = 0; i < m_legenda.size(); ++i) {
        auto* parte = new QLabel(area);
        parte->setGeometry(InPixel(PostiLegenda[i], twipsPerPixel));
        if (i % 2 == 0) {
            parte->setAutoFillBackground(true);
            QPalette tavolozza = parte->palette();
            tavolozza.setColor(QPalette::Window, i == 0 ? ColoreDi(Colore::Verde) : ColoreRiferimento);
            parte->setPalette(tavolozza);
        } else {
            parte->setObjectName(i == 1 ? QStringLiteral("LegendaBarre") : QStringLiteral("LegendaRiferimenti"));
            parte->setFont(FontDi(Font::Predefinito));
        }
        parte->hide();
        m_legenda[i] = parte;
    }
    aggiornaVoci();
}

void Grafico::mostraRiferimenti(std::span<const double, NumeroSlot> percentuali, const StatoAnalisi& stato,
                                const Legenda& legenda)
{
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        QLabel* segno = m_riferimenti[k];
        const float top = TopRiferimento(percentuali[k], stato);
        segno->setProperty("percentuale", QVariant::fromValue(static_cast<float>(percentuali[k])));
        segno->setProperty("topTwips", QVariant::fromValue(top));
        const Rettangolo barra = BarraIniziale(k);
        QRect geometria = InPixel(barra.left - SportoRiferimento, static_cast<double>(top),
                                  barra.width + 2 * SportoRiferimento, SpessoreRiferimento, m_twipsPerPixel);
        geometria.setHeight(std::max(geometria.height(), 2));  // visible at any resolution
        segno->setGeometry(geometria);
        segno->setAccessibleName(QStringLiteral("riferimento %1: %2 %")
                                     .arg(m_lettere[k]->text(), QLocale().toString(percentuali[k], 'f', 1)));
        segno->show();
        segno->raise();
    }
    m_testiLegenda = legenda;
    for (std::size_t i = 0; i < m_legenda.size(); ++i) {
        QLabel* parte = m_legenda[i];
        const QString& testo = i < 2 ? legenda.barre : legenda.segni;
        if (i % 2 == 1)
            parte->setText(parte->fontMetrics().elidedText(testo, Qt::ElideMiddle, parte->width()));
        parte->setVisible(!testo.isEmpty());
    }
}

void Grafico::nascondiRiferimenti()
{
    for (QLabel* segno : m_riferimenti)
        segno->hide();
    for (QLabel* parte : m_legenda)
        parte->hide();
}

QImage Grafico::immagine(double densita, const QString& titolo) const
{
    const QRect riquadro = InPixel(RiquadroImmagine, m_twipsPerPixel);
    const bool legenda = !m_riferimenti[0]->isHidden();
    const QFont font = FontDi(Font::SansMedio);
    const int riga = QFontMetrics(font).height();
    const int sopra = 2 * riga;
    const QSize lato(riquadro.width(), sopra + riquadro.height() + (legenda ? 2 * riga : riga / 2));
    QImage immagine(lato * densita, QImage::Format_RGB32);
    immagine.setDevicePixelRatio(densita);
    QWidget* area = m_perc1->parentWidget();
    immagine.fill(area->palette().color(area->backgroundRole()));
    QPainter pittore(&immagine);
    pittore.setFont(font);
    pittore.setPen(area->palette().color(QPalette::WindowText));
    pittore.drawText(QRect(0, 0, lato.width(), sopra), Qt::AlignCenter,
                     pittore.fontMetrics().elidedText(titolo, Qt::ElideMiddle, lato.width()));
    // Only the chart's own controls, back to front as they stand, whatever else the window lays over it.
    for (QObject* figlio : area->children()) {
        auto* parte = qobject_cast<QWidget*>(figlio);
        if (parte && !parte->isHidden() && std::ranges::find(m_parti, parte) != m_parti.end())
            parte->render(&pittore, parte->pos() - riquadro.topLeft() + QPoint(0, sopra), {},
                          QWidget::DrawWindowBackground);
    }
    if (legenda) {
        // The two entries in a row under the chart, from where the gridlines start.
        int x = InPixel(720 - RiquadroImmagine.left, 0, 0, 0, m_twipsPerPixel).x();
        const int y = sopra + riquadro.height() + riga / 2;
        const auto voce = [&](const QColor& colore, int larghezza, int altezza, const QString& testo) {
            if (testo.isEmpty())
                return;
            pittore.fillRect(QRect(x, y + (riga - altezza) / 2, larghezza, altezza), colore);
            x += larghezza + riga / 2;
            pittore.drawText(QPoint(x, y + pittore.fontMetrics().ascent()), testo);
            x += pittore.fontMetrics().horizontalAdvance(testo) + 2 * riga;
        };
        voce(ColoreDi(Colore::Verde), m_blocchi[0]->width(), riga - 4, m_testiLegenda.barre);
        voce(ColoreRiferimento, m_riferimenti[0]->width(), m_riferimenti[0]->height(), m_testiLegenda.segni);
    }
    pittore.end();
    // Pixels per metre of the layout's inch (1440 twips) at this density.
    const int perMetro = static_cast<int>(std::lround(densita * 1440.0 / m_twipsPerPixel / 0.0254));
    immagine.setDotsPerMeterX(perMetro);
    immagine.setDotsPerMeterY(perMetro);
    immagine.setText(QStringLiteral("Title"), titolo);
    return immagine;
}

void Grafico::impostaBarra(std::size_t slot, Barra barra)
{
    QLabel* blocco = m_blocchi[slot];
    blocco->setProperty("heightTwips", QVariant::fromValue(barra.altezza));
    blocco->setProperty("topTwips", QVariant::fromValue(barra.top));
    const Rettangolo r = BarraIniziale(slot);
    blocco->setGeometry(
        InPixel(r.left, static_cast<double>(barra.top), r.width, static_cast<double>(barra.altezza), m_twipsPerPixel));
}

void Grafico::mostra(const Risultati& risultati)
{
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        impostaBarra(k, risultati.barre[k]);
        m_frequenze[k]->setText(QString::fromStdString(risultati.etichette[k]));
    }
    aggiornaVoci();
}

void Grafico::stira(const Stiramento& stiramento)
{
    for (std::size_t k = 0; k < NumeroSlot; ++k)
        impostaBarra(k, stiramento.barre[k]);
    m_perc1->setText(QString::fromStdString(stiramento.perc1));
    m_perc2->setText(QString::fromStdString(stiramento.perc2));
    aggiornaVoci();
}

void Grafico::ripristinaAssi()
{
    m_perc1->setText(QStringLiteral("100 %"));
    m_perc2->setText(QStringLiteral("50 %"));
}

std::array<std::string, NumeroSlot> Grafico::simboli() const
{
    std::array<std::string, NumeroSlot> simboli;
    for (std::size_t k = 0; k < NumeroSlot; ++k)
        simboli[k] = m_lettere[k]->text().toStdString();
    return simboli;
}

void Grafico::impostaSimboli(const Simboli& simboli)
{
    for (std::size_t k = 0; k < NumeroSlot; ++k)
        m_lettere[k]->setText(QString::fromUcs4(&simboli[k], 1));
    aggiornaVoci();
}

void Grafico::aggiornaVoci()
{
    for (std::size_t k = 0; k < NumeroSlot; ++k)
        m_blocchi[k]->setAccessibleName(QStringLiteral("%1: %2").arg(m_lettere[k]->text(), m_frequenze[k]->text()));
}

std::array<float, NumeroSlot> Grafico::altezze() const
{
    std::array<float, NumeroSlot> altezze{};
    for (std::size_t k = 0; k < NumeroSlot; ++k)
        altezze[k] = m_blocchi[k]->property("heightTwips").toFloat();
    return altezze;
}

}  // namespace varnel
