// SPDX-License-Identifier: GPL-3.0-or-later
#include "Registro.h"

#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char* argv[])
{
    // No display needed; an Italian user, so the summary's decimal separator is a comma.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef VARNEL_FONT_PROVE
    // Qt for Windows draws offscreen with the fonts of one folder: those the layouts are measured with.
    if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR"))
        qputenv("QT_QPA_FONTDIR", VARNEL_FONT_PROVE);
#endif
    // Qt's file dialog keeps its history in the user's settings: here they live and die with the run,
    // so that no test leaves anything in the user's folders (the programs the tests start inherit it).
    QTemporaryDir utente;
    if (!utente.isValid())
        return 1;
    for (const char* variabile : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
        qputenv(variabile, QFile::encodeName(utente.path()));
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    QApplication applicazione(argc, argv);
    varnel::PreparaApplicazione();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
