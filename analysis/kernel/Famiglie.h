// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The functions of each kernel family, for the families and the choice among them only: the
// engine reaches the kernels through KernelPer.

#include "Kernel.h"

namespace varnel::dettaglio {

void ContaScalare(const std::uint8_t* p, std::size_t n, const Bersagli& bersagli, ContiGrezzi& conti);
void CampiScalare(const std::uint8_t* p, std::size_t n, MacchinaCampi<std::uint8_t>& macchina);
const std::uint8_t* FineCampoScalare(const std::uint8_t* p, const std::uint8_t* fine);  // first , CR or LF
// Where a block UTF-8 check that stopped at q hands back to the byte-at-a-time one: the start of
// the sequence still open at q, or q. Out of line, so that no target region compiles it.
const std::uint8_t* InizioApertaScalare(const std::uint8_t* p, const std::uint8_t* q);
void ContaSequenzeScalare(const std::uint8_t* p, std::size_t n, const Contesto& prima, const Sequenze& sequenze,
                          ContiGrezzi& conti);
// Counts only the targets outside the band, as ContaScalare counts them all.
void ContaFuoriScalare(const std::uint8_t* p, std::size_t n, const Bersagli& bersagli, ContiGrezzi& conti);
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VARNEL_X86 1
// Counting in AVX2's own form; KernelAvx2 returns it with the other AVX2 kernels.
void ContaAvx2(const std::uint8_t* p, std::size_t n, const Bersagli& bersagli, ContiGrezzi& conti);
[[nodiscard]] Kernel KernelAvx2();
[[nodiscard]] Kernel KernelAvx512();
#endif
#if defined(__wasm_simd128__)
#define VARNEL_WASM128 1
[[nodiscard]] Kernel KernelWasm128();
#endif

}  // namespace varnel::dettaglio
