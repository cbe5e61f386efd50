#include "Kernel.h"

#include <algorithm>

namespace varnel::dettaglio {

void FissaFinestra(Bersagli& bersagli)
{
    bersagli.finestra = -1;
    if (bersagli.numero == 0)
        return;
    const std::uint8_t* inizio = bersagli.byte.data();
    const auto [minimo, massimo] = std::minmax_element(inizio, inizio + bersagli.numero);
    if (*massimo - *minimo < 32)
        bersagli.finestra = *minimo;
}

const char* NomePercorso(Percorso percorso)
{
    switch (percorso) {
    case Percorso::Scalare: return "scalare";
    case Percorso::Avx2: return "avx2";
    case Percorso::Avx512: return "avx512";
    }
    return "?";
}

bool Disponibile(Percorso percorso)
{
    switch (percorso) {
    case Percorso::Scalare:
        return true;
    case Percorso::Avx2:
#ifdef VARNEL_X86
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") && __builtin_cpu_supports("popcnt");
#else
        return false;
#endif
    case Percorso::Avx512:
        return false;
    }
    return false;
}

Percorso PercorsoMigliore()
{
    Percorso migliore = Percorso::Scalare;
    for (const Percorso percorso : Percorsi) {
        if (Disponibile(percorso))
            migliore = percorso;
    }
    return migliore;
}

Kernel KernelPer(Percorso percorso)
{
#ifdef VARNEL_X86
    if (percorso >= Percorso::Avx2 && Disponibile(Percorso::Avx2))
        return {ContaAvx2, CampiAvx2, ValidaUtf8Avx2, SaltaAsciiAvx2};
#else
    (void)percorso;
#endif
    return {ContaScalare, CampiScalare, nullptr, ValidatoreUtf8::SaltaAsciiScalare};
}

}  // namespace varnel::dettaglio
