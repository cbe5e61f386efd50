// SPDX-License-Identifier: GPL-3.0-or-later
// Analyses one file and prints how long it took and how much memory it held, for bench/compare.
//   analizza_file --genera FILE MIB        writes MIB mebibytes of generated text
//   analizza_file lettere|simboli FILE     analyses FILE as the main or the advanced window does
//   analizza_file --famiglie               names the kernel families this CPU runs
// VARNEL_KERNEL and VARNEL_LAVORATORI choose the kernels and the workers.
#include "AnalisiFile.h"
#include "Kernel.h"
#include "TestoGenerato.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/resource.h>

namespace {

long PiccoResidenteKiB()
{
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return uso.ru_maxrss;
}

int Genera(const char* percorso, std::size_t mebibyte)
{
    std::ofstream file(percorso, std::ios::binary);
    constexpr std::size_t Pezzo = 64;
    for (std::size_t fatti = 0; fatti < mebibyte; fatti += Pezzo) {
        const std::string testo = varnel::banco::TestoGenerato(std::min(Pezzo, mebibyte - fatti) << 20,
                                                               static_cast<std::uint32_t>(fatti));
        file.write(testo.data(), static_cast<std::streamsize>(testo.size()));
    }
    return file ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--genera") == 0)
        return Genera(argv[2], std::stoul(argv[3]));
    if (argc == 2 && std::strcmp(argv[1], "--famiglie") == 0) {
        for (const auto famiglia : varnel::dettaglio::Famiglie) {
            if (varnel::dettaglio::Disponibile(famiglia))
                std::printf("%s\n", varnel::dettaglio::NomeFamiglia(famiglia));
        }
        return 0;
    }
    if (argc != 3) {
        std::fprintf(stderr, "uso: %s lettere|simboli FILE | --genera FILE MIB | --famiglie\n", argv[0]);
        return 2;
    }
    const varnel::Criterio criterio = std::strcmp(argv[1], "simboli") == 0
                                          ? varnel::Criterio(
                                              *varnel::SimboliDaTesto(U"etaoinshrdlucmfwypvbgkjqx\u00E8"))
                                          : varnel::Criterio(varnel::ModoLettere::SenzaDistinzione);
    const long prima = PiccoResidenteKiB();
    const auto inizio = std::chrono::steady_clock::now();
    varnel::Avanzamento avanzamento;
    const auto esito = varnel::AnalizzaFile(argv[2], criterio, avanzamento);
    const std::chrono::duration<double> durata = std::chrono::steady_clock::now() - inizio;
    if (!esito.riuscito()) {
        std::fprintf(stderr, "%s: %s\n", argv[2], esito.errore().dettaglio.c_str());
        return 1;
    }
    std::printf("secondi %.4f caratteri %llu residente_prima_kib %ld residente_picco_kib %ld\n", durata.count(),
                static_cast<unsigned long long>(esito.valore().lunghezza), prima, PiccoResidenteKiB());
    return 0;
}
