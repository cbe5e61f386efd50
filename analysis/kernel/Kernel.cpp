// SPDX-License-Identifier: GPL-3.0-or-later
#include "Famiglie.h"

#include <algorithm>

namespace varnel::dettaglio {

namespace {

// Below this many targets in a band, comparing each costs less than the lookups.
constexpr std::size_t MinimoFascia = 8;

}  // namespace

void FissaFascia(Bersagli& bersagli)
{
    const auto dentro = [&](std::size_t inizio) {
        return static_cast<std::size_t>(std::count_if(bersagli.byte.begin(), bersagli.byte.begin() + bersagli.numero,
                                                      [&](std::uint8_t b) { return b >= inizio && b - inizio < 32; }));
    };
    std::size_t migliore = 0;
    bersagli.fascia = -1;
    for (std::size_t t = 0; t < bersagli.numero; ++t) {
        const std::size_t quanti = dentro(bersagli.byte[t]);
        if (quanti >= MinimoFascia && quanti > migliore) {
            migliore = quanti;
            bersagli.fascia = bersagli.byte[t];
        }
    }
    bersagli.numeroFuori = 0;
    for (std::size_t t = 0; t < bersagli.numero; ++t) {
        if (!bersagli.inFascia(t))
            bersagli.fuori[bersagli.numeroFuori++] = static_cast<std::uint8_t>(t);
    }
}

const char* NomeFamiglia(Famiglia famiglia)
{
    switch (famiglia) {
    case Famiglia::Scalare: return "scalare";
    case Famiglia::Wasm128: return "wasm128";
    case Famiglia::Avx2: return "avx2";
    case Famiglia::Avx512: return "avx512";
    }
    return "?";
}

bool Disponibile(Famiglia famiglia)
{
    switch (famiglia) {
    case Famiglia::Scalare: return true;
    case Famiglia::Wasm128:
#ifdef VARNEL_WASM128
        return true;
#else
        return false;
#endif
    case Famiglia::Avx2:
#ifdef VARNEL_X86
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") && __builtin_cpu_supports("popcnt");
#else
        return false;
#endif
    case Famiglia::Avx512:
#ifdef VARNEL_X86
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw")
               && __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512vbmi")
               && __builtin_cpu_supports("bmi2") && Disponibile(Famiglia::Avx2);
#else
        return false;
#endif
    }
    return false;
}

Famiglia FamigliaMigliore()
{
    Famiglia migliore = Famiglia::Scalare;
    for (const Famiglia famiglia : Famiglie) {
        if (Disponibile(famiglia))
            migliore = famiglia;
    }
    return migliore;
}

Kernel KernelPer(Famiglia famiglia)
{
#ifdef VARNEL_X86
    if (famiglia >= Famiglia::Avx512 && Disponibile(Famiglia::Avx512))
        return KernelAvx512();
    if (famiglia >= Famiglia::Avx2 && Disponibile(Famiglia::Avx2))
        return KernelAvx2();
#elif defined(VARNEL_WASM128)
    if (famiglia >= Famiglia::Wasm128)
        return KernelWasm128();
#else
    (void)famiglia;
#endif
    return {ContaScalare, CampiScalare, nullptr, ContaSequenzeScalare};
}

}  // namespace varnel::dettaglio
