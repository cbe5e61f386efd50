// SPDX-License-Identifier: GPL-3.0-or-later
// The windows on a screen of twice the density: run by the test named test_windows_2x, which sets
// QT_SCALE_FACTOR=2; at the normal scale these tests have nothing to check.
#include "AiutiFinestre.h"

namespace varnel::prova {
namespace {

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
