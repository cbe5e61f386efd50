// SPDX-License-Identifier: GPL-3.0-or-later
#include "RigaComando.h"

#include "VersioneProgramma.h"

#include <QCoreApplication>

#include <cstdio>
#include <string_view>

namespace varnel {

std::vector<std::filesystem::path> ArgomentiDiSistema(int argc, char** argv)
{
    std::vector<std::filesystem::path> argomenti;
#ifdef Q_OS_WIN
    (void)argc;
    (void)argv;  // in the ANSI code page, which cannot spell every name
    for (const QString& argomento : QCoreApplication::arguments())
        argomenti.emplace_back(argomento.toStdWString());
#else
    for (int i = 0; i < argc; ++i)
        argomenti.emplace_back(std::string(argv[i]));
#endif
    return argomenti;
}

std::optional<std::filesystem::path> FileDaRigaComando(const std::vector<std::filesystem::path>& argomenti)
{
    std::filesystem::path file;
    bool opzioniFinite = false;
    for (std::size_t i = 1; i < argomenti.size(); ++i) {
        const auto& argomento = argomenti[i].native();
        if (!opzioniFinite && argomento.size() == 2 && argomento[0] == '-' && argomento[1] == '-') {
            opzioniFinite = true;  // what follows is a file, even if named like an option
            continue;
        }
        if ((!opzioniFinite && !argomento.empty() && argomento[0] == '-') || argomento.empty() || !file.empty())
            return std::nullopt;
        file = argomenti[i];
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
