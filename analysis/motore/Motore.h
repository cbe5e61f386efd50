// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How AnalizzaFile runs, for tests and benchmarks: which kernels, how many workers, how large the
// ranges they take. The windows never choose; they call AnalizzaFile.

#include "AnalisiFile.h"
#include "AnalisiTratti.h"
#include "Kernel.h"

#include <cstddef>
#include <string_view>

namespace varnel::dettaglio {

struct Opzioni {
    Kernel kernel = KernelPer(FamigliaMigliore());
    unsigned lavoratori = 0;          // 0: one per core, within a sensible cap
    std::size_t lunghezzaTratto = 0;  // bytes a worker takes at a time; 0: chosen from the file's size
};

// The options AnalizzaFile uses: the defaults, with the kernel forced by VARNEL_KERNEL
// (scalare, avx2, avx512) and the workers by VARNEL_LAVORATORI, for tests and benchmarks only.
[[nodiscard]] Opzioni OpzioniDaAmbiente();

// The workers that `chiesti` stands for: 0 is one per core, within a sensible cap.
[[nodiscard]] unsigned Lavoratori(unsigned chiesti);

// The split of a regular file of `dimensione` bytes that starts with `iniziali`, with the options'
// workers and range length.
[[nodiscard]] PianoTratti Pianifica(std::uint64_t dimensione, std::string_view iniziali, const Opzioni& opzioni);

[[nodiscard]] Esito<Analisi> AnalizzaFileCon(const std::filesystem::path& percorso, const Criterio& criterio,
                                             Avanzamento& avanzamento, const Opzioni& opzioni,
                                             ImprontaFile* analizzato = nullptr);

}  // namespace varnel::dettaglio
