// SPDX-License-Identifier: GPL-3.0-or-later
#include "Kernel.h"

#include <algorithm>

namespace varnel::dettaglio {

namespace {

// Below this many targets in a window, comparing each costs less than the lookups.
constexpr std::size_t MinimoFinestra = 8;

}  // namespace

void FissaFinestra(Bersagli& bersagli)
{
    const auto dentro = [&](std::size_t inizio) {
        return static_cast<std::size_t>(std::count_if(bersagli.byte.begin(), bersagli.byte.begin() + bersagli.numero,
                                                      [&](std::uint8_t b) { return b >= inizio && b - inizio < 32; }));
    };
    std::size_t migliore = 0;
    bersagli.finestra = -1;
    for (std::size_t t = 0; t < bersagli.numero; ++t) {
        const std::size_t quanti = dentro(bersagli.byte[t]);
        if (quanti >= MinimoFinestra && quanti > migliore) {
            migliore = quanti;
            bersagli.finestra = bersagli.byte[t];
        }
    }
    bersagli.numeroFuori = 0;
    for (std::size_t t = 0; t < bersagli.numero; ++t) {
        if (!bersagli.inFinestra(t))
            bersagli.fuori[bersagli.numeroFuori++] = static_cast<std::uint8_t>(t);
    }
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
    case Percorso::Scalare: return true;
    case Percorso::Avx2:
#ifdef VARNEL_X86
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") && __builtin_cpu_supports("popcnt");
#else
        return false;
#endif
    case Percorso::Avx512:
#ifdef VARNEL_X86
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw")
               && __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512vbmi")
               && __builtin_cpu_supports("bmi2") && Disponibile(Percorso::Avx2);
#else
        return false;
#endif
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
    if (percorso >= Percorso::Avx512 && Disponibile(Percorso::Avx512))
        return KernelAvx512();
    if (percorso >= Percorso::Avx2 && Disponibile(Percorso::Avx2))
        return KernelAvx2();
#else
    (void)percorso;
#endif
    return {ContaScalare, CampiScalare, nullptr, ContaSequenzeScalare};
}

}  // namespace varnel::dettaglio
