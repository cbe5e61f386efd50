// SPDX-License-Identifier: GPL-3.0-or-later
#include "RigaComando.h"

#include "VersioneProgramma.h"

#include <cstdio>
#include <string_view>

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

namespace {

constexpr const char* Uso = "Uso: varnel [FILE]\n"
                            "Avvia Varnel e, se è indicato un FILE, ne analizza le frequenze nella finestra "
                            "principale.\n"
                            "  -h, --help   mostra questo aiuto ed esce\n"
                            "  --version    mostra la versione ed esce\n";

}  // namespace

int UsoErrato()
{
    std::fputs(Uso, stderr);
    return 2;
}

std::optional<int> RispostaInformativa(std::span<char* const> argomenti)
{
    for (std::size_t i = 1; i < argomenti.size(); ++i) {
        const std::string_view argomento = argomenti[i];
        if (argomento == "--")
            break;  // what follows are files
        if (argomento == "--help" || argomento == "-h") {
            std::fputs(Uso, stdout);
            return 0;
        }
        if (argomento == "--version") {
            std::printf("Varnel %.*s\n", static_cast<int>(VersioneProgetto.size()), VersioneProgetto.data());
            return 0;
        }
    }
    return std::nullopt;
}

}  // namespace varnel
