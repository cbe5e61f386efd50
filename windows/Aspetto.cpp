// SPDX-License-Identifier: GPL-3.0-or-later
#include "Aspetto.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace varnel {

double TwipsPerPixel(const QWidget* widget)
{
    const QScreen* schermo = widget && widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
    const double dpi = schermo ? schermo->logicalDotsPerInchY() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

QRect InPixel(double left, double top, double width, double height, double twipsPerPixel)
{
    const auto pixel = [&](double twips) { return static_cast<int>(std::lround(twips / twipsPerPixel)); };
    const int x = pixel(left);
    const int y = pixel(top);
    return {x, y, pixel(left + width) - x, pixel(top + height) - y};
}

QRect InPixel(const Rettangolo& r, double twipsPerPixel)
{
    return InPixel(r.left, r.top, r.width, r.height, twipsPerPixel);
}

QColor ColoreDi(Colore colore)
{
#ifdef Q_OS_WIN
    const auto sistema = [](int indice) {
        const DWORD c = GetSysColor(indice);
        return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
    };
#else
    // The standard Windows colour scheme, where there is no Windows to ask.
    const auto sistema = [](int indice) {
        switch (indice) {
        case 4:
        case 10: return QColor(212, 208, 200);
        case 5: return QColor(255, 255, 255);
        case 14: return QColor(255, 255, 255);
        default: return QColor(0, 0, 0);  // 7, 8 and 18: black text
        }
    };
#endif
    switch (colore) {
    case Colore::Verde: return QColor(0, 255, 0);
    case Colore::TestoMenu: return sistema(7);
    case Colore::Menu: return sistema(4);
    case Colore::BordoAttivo: return sistema(10);
    case Colore::TestoEvidenziato: return sistema(14);
    case Colore::TestoPulsante: return sistema(18);
    case Colore::TestoFinestra: return sistema(8);
    case Colore::SfondoFinestra: return sistema(5);
    }
    return {};
}

QFont FontDi(Font tipo)
{
    // Liberation fonts share the metrics of the Windows fonts, so the captions fit as designed.
    const QStringList sans = {QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                              QStringLiteral("Arial")};
    const QStringList serif = {QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif")};
    QFont font;
    const auto imposta = [&](const QStringList& famiglie, double punti, bool grassetto) {
        font.setFamilies(famiglie);
        font.setPointSizeF(punti);
        font.setBold(grassetto);
    };
    switch (tipo) {
    case Font::Predefinito: imposta(sans, 8.25, false); break;
    case Font::SansGrassetto: imposta(sans, 9.75, true); break;
    case Font::SansMedio: imposta(sans, 9.75, false); break;
    case Font::SansGrande: imposta(sans, 12, false); break;
    case Font::SerifGrassetto: imposta(serif, 8.25, true); break;
    case Font::SerifPiccolo: imposta(serif, 6, false); break;
    }
    return font;
}

}  // namespace varnel
