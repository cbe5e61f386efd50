// SPDX-License-Identifier: GPL-3.0-or-later
// Every window on the screens schools have: each opens with its frame inside the available area.
// The offscreen platform is given each screen size in turn; test_windows_125 runs the same at
// 125 % (QT_SCALE_FACTOR=1.25, as Windows scales such laptops).
#include "AiutiFinestre.h"
#include "Crittogramma.h"
#include "Decifrazione.h"

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

    Decifrazione& apriDecifrazione()
    {
        // A copy in the test's folder: a file dialog answered with a path of the build machine
        // finds nothing under Wine.
        QFile esempio(QStringLiteral(VARNEL_SORGENTI "/resources/esempio/cifrato.txt"));
        EXPECT_TRUE(esempio.open(QIODevice::ReadOnly));
        Analizza(varnel(), scrivi("cifrato.txt", esempio.readAll().toStdString()));
        varnel().apriDecifrazione();
        return registro.decifrazione();
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
                               &apriDecifrazione()};
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

}  // namespace
}  // namespace varnel::prova
