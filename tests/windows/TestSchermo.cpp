// SPDX-License-Identifier: GPL-3.0-or-later
// Every window on the screens schools have: each opens with its frame inside the available area.
// The offscreen platform is given each screen size in turn; test_windows_125 runs the same at
// 125 % (QT_SCALE_FACTOR=1.25, as Windows scales such laptops). And the pictures on a screen of twice
// the density, run by test_windows_2x (QT_SCALE_FACTOR=2): at the normal scale they check nothing.
#include "AiutiFinestre.h"
#include "Crittogramma.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QScreen>
#include <QScrollBar>
#include <qpa/qplatformnativeinterface.h>

#include <cstdlib>

namespace varnel::prova {
namespace {

class Screen : public Programma {
protected:
    // Gives the offscreen platform's screen a size in device pixels; false on another platform.
    static bool Schermo(QSize pixel)
    {
        auto* nativa = QGuiApplication::platformNativeInterface();
        using Leggi = QJsonObject (*)(QPlatformNativeInterface*);
        using Scrivi = void (*)(const QJsonObject&, QPlatformNativeInterface*);
        const auto leggi = reinterpret_cast<Leggi>(nativa->nativeResourceForIntegration("configuration"));
        const auto scrivi = reinterpret_cast<Scrivi>(nativa->nativeResourceForIntegration("setConfiguration"));
        if (!leggi || !scrivi)
            return false;
        QJsonObject configurazione = leggi(nativa);
        QJsonArray schermi = configurazione[QStringLiteral("screens")].toArray();
        QJsonObject primo = schermi[0].toObject();
        primo[QStringLiteral("width")] = pixel.width();
        primo[QStringLiteral("height")] = pixel.height();
        schermi[0] = primo;
        configurazione[QStringLiteral("screens")] = schermi;
        scrivi(configurazione, nativa);
        QCoreApplication::processEvents();
        const QSize atteso = pixel / qApp->devicePixelRatio();
        const QSize dato = QGuiApplication::primaryScreen()->geometry().size();
        return std::abs(dato.width() - atteso.width()) <= 1 && std::abs(dato.height() - atteso.height()) <= 1;
    }
};

TEST_F(Screen, EveryWindowOpensWithinTheAvailableArea)
{
    for (const QSize pixel : {QSize(1366, 768), QSize(1280, 720)}) {
        if (!Schermo(pixel))
            GTEST_SKIP() << "the offscreen platform's screen cannot be set here";
        const QRect disponibile = QGuiApplication::primaryScreen()->availableGeometry();
        QApplication::closeAllWindows();
        registro.avanzata().apri();
        registro.form2().apri();
        registro.crittogramma().apri();
        varnel().apri();
        QWidget* finestre[] = {&varnel(), &registro.avanzata(), &registro.form2(), &registro.crittogramma(),
                               &apriDecifrazione(CifratoEsempio, ModoLettere::SenzaDistinzione)};
        for (const QWidget* finestra : finestre) {
            EXPECT_TRUE(finestra->isVisible());
            EXPECT_TRUE(disponibile.contains(finestra->frameGeometry()))
                << finestra->objectName().toStdString() << " on " << pixel.width() << "x" << pixel.height() << " at "
                << qApp->devicePixelRatio() << ": " << finestra->frameGeometry().width() << "x"
                << finestra->frameGeometry().height() << " in " << disponibile.width() << "x" << disponibile.height()
                << ", at least " << finestra->minimumSizeHint().width() << "x" << finestra->minimumSizeHint().height();
        }
        // The statistics whole at 1366 × 768, the preview with room for the text beside them.
        QCoreApplication::processEvents();
        const auto& d = registro.decifrazione();
        const auto* statistiche = Trova<QPlainTextEdit>(d, "Statistiche");
        const auto* anteprima = Trova<QPlainTextEdit>(d, "Anteprima");
        if (pixel.height() == 768 && qApp->devicePixelRatio() == 1.0) {
            EXPECT_EQ(statistiche->verticalScrollBar()->maximum(), 0);
        }
        EXPECT_GE(anteprima->height(), 5 * anteprima->fontMetrics().lineSpacing());
    }
}

class Scale : public Programma {
protected:
    void SetUp() override
    {
        if (qApp->devicePixelRatio() < 2)
            GTEST_SKIP() << "runs at QT_SCALE_FACTOR=2 (test_windows_2x)";
        Programma::SetUp();
    }
};

TEST_F(Scale, PicturesAndTheHandComeFromSourcesAsLargeAsTheirPixels)
{
    registro.form2().apri();
    struct Caso {
        const QWidget* finestra;
        const char* immagine;
        QSize pixel;  // device pixels
    };
    for (const Caso& caso : {Caso{&varnel(), "Image1", {690, 84}}, Caso{&varnel(), "Image4", {64, 64}},
                             Caso{&registro.form2(), "Image1", {64, 64}}}) {
        const QPixmap immagine = Trova<QLabel>(*caso.finestra, caso.immagine)->pixmap();
        EXPECT_EQ(immagine.size(), caso.pixel) << caso.immagine;
        EXPECT_EQ(immagine.devicePixelRatio(), 2.0) << caso.immagine;
    }
    // The hand points with its fingertip.
    const QCursor mano = Trova(varnel(), "Image2")->cursor();
    EXPECT_EQ(mano.pixmap().size(), QSize(64, 64));
    EXPECT_EQ(mano.hotSpot(), QPoint(24, 2));
}

}  // namespace
}  // namespace varnel::prova
