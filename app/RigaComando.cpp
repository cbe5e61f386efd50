// SPDX-License-Identifier: GPL-3.0-or-later
#include "RigaComando.h"

#include <cstdio>

namespace varnel {

std::optional<QString> FileDaRigaComando(const QStringList& argomenti)
{
    QString file;
    bool opzioniFinite = false;
    for (qsizetype i = 1; i < argomenti.size(); ++i) {
        const QString& argomento = argomenti[i];
        if (!opzioniFinite && argomento == QLatin1String("--")) {
            opzioniFinite = true;  // what follows is a file, even if named like an option
            continue;
        }
        if ((!opzioniFinite && argomento.startsWith(QLatin1Char('-'))) || argomento.isEmpty() || !file.isEmpty())
            return std::nullopt;
        file = argomento;
    }
    return file;
}

int UsoErrato()
{
    std::fputs("Uso: varnel [FILE]\n"
               "Avvia Varnel e, se è indicato un FILE, ne analizza le frequenze nella finestra principale.\n",
               stderr);
    return 2;
}

}  // namespace varnel
