// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: any bytes, streamed in pieces whose sizes the input chooses, must give the
// counts and the length that the reference reader gives, on every kernel family this CPU runs and
// on the AVX-512 algorithms over emulated vectors.
#include "Analizzatore.h"
#include "KernelEmulato.h"
#include "LeggiTesto.h"

#include <cstdlib>
#include <vector>

namespace {

using namespace varnel;

const Simboli SimboliDiProva = {U'a', U'b',  U',',          U' ',  U'"', U'\r', U'\n',     U'è',     U'€',
                                U'ï', U'»',  U'¿',          U'\t', U'Z', U'z',  U'\u0080', U'é',     U'\uFFFD',
                                U'7', U'\0', U'\U0001F600', U'x',  U'x', U'E',  U'q',      U'\u00FF'};

void Controlla(const std::uint8_t* dati, std::size_t n, const Criterio& criterio, const dettaglio::Kernel& kernel)
{
    const std::u32string testo = CampiInTesto(Decodifica({reinterpret_cast<const char*>(dati), n}));
    const auto* simboli = std::get_if<Simboli>(&criterio);
    const Conteggi attesi = simboli ? ContaSimboli(testo, *simboli)
                                    : ContaLettere(testo, std::get<ModoLettere>(criterio));

    dettaglio::Analizzatore analizzatore(criterio, kernel);
    std::size_t i = 0;
    for (std::size_t passo = 1; i < n; passo = passo * 7 % 61 + 1) {
        const std::size_t pezzo = std::min(n - i, passo + (dati[i] & 0x3F));
        analizzatore.consuma({dati + i, pezzo});
        i += pezzo;
    }
    const Analisi analisi = analizzatore.concludi();
    if (analisi.lunghezza != testo.size() || analisi.conteggi != attesi)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n)
{
    std::vector<dettaglio::Kernel> kernel = {dettaglio::KernelAvx512Emulato()};
    for (const auto famiglia : dettaglio::Famiglie) {
        if (dettaglio::Disponibile(famiglia))
            kernel.push_back(dettaglio::KernelPer(famiglia));
    }
    for (const auto& k : kernel) {
        Controlla(dati, n, ModoLettere::SenzaDistinzione, k);
        Controlla(dati, n, ModoLettere::Maiuscole, k);
        Controlla(dati, n, SimboliDiProva, k);
    }
    return 0;
}
