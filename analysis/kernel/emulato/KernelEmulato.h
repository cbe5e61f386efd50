// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// For the tests and the fuzzer: the AVX-512 kernels' algorithms on emulated vectors, which run
// on any CPU.

#include "Kernel.h"

namespace varnel::dettaglio {

[[nodiscard]] Kernel KernelAvx512Emulato();

}  // namespace varnel::dettaglio
