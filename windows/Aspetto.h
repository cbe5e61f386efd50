// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QWidget;

namespace varnel {

// A rectangle in twips (1/1440 inch) from the top left corner of a window's client area.
struct Rettangolo {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Twips per pixel of the screen that shows the widget (15 at 96 dpi).
[[nodiscard]] double TwipsPerPixel(const QWidget* widget);

// Edges are rounded, not sizes, so that neighbouring controls meet exactly.
[[nodiscard]] QRect InPixel(double left, double top, double width, double height, double twipsPerPixel);
[[nodiscard]] QRect InPixel(const Rettangolo& r, double twipsPerPixel);

// The colours of the layouts: one fixed green and the window system's colours by index.
enum class Colore {
    Verde,
    TestoMenu,         // system colour 7
    Menu,              // 4
    BordoAttivo,       // 10
    TestoEvidenziato,  // 14
    TestoPulsante,     // 18
    TestoFinestra,     // 8
    SfondoFinestra,    // 5
};
[[nodiscard]] QColor ColoreDi(Colore colore);

enum class Font {
    Predefinito,     // MS Sans Serif 8.25 pt
    SansGrassetto,   // MS Sans Serif 9.75 pt bold
    SansMedio,       // MS Sans Serif 9.75 pt
    SansGrande,      // MS Sans Serif 12 pt
    SerifGrassetto,  // Times New Roman 8.25 pt bold
    SerifPiccolo,    // Times New Roman 6 pt
};
[[nodiscard]] QFont FontDi(Font tipo);

// The project's web address, shown in the titles and in the banner.
inline const QString IndirizzoWeb = QStringLiteral("www.varnel.example");

}  // namespace varnel
