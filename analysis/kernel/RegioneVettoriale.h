// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Compiles the functions between VARNEL_INIZIO_REGIONE and VARNEL_FINE_REGIONE for an instruction
// set that the rest of the program may not assume, so that one file holds one family's kernels
// without an attribute on every function. Include the headers the region needs before it opens:
// the standard library's functions must keep the baseline instruction set.

#define VARNEL_STRINGA_(x) #x
#define VARNEL_STRINGA(x) VARNEL_STRINGA_(x)

// Every CPU with AVX2 also has BMI1 and POPCNT, and Disponibile checks all three.
#define VARNEL_ISTRUZIONI_AVX2 "avx2,bmi,popcnt"
#define VARNEL_ISTRUZIONI_AVX512 "avx512f,avx512bw,avx512vl,avx512vbmi,avx2,bmi,bmi2,popcnt"

#if defined(__clang__)
#define VARNEL_INIZIO_REGIONE(istruzioni)                                                                              \
    _Pragma(VARNEL_STRINGA(clang attribute push(__attribute__((target(istruzioni))), apply_to = function)))
#define VARNEL_FINE_REGIONE _Pragma("clang attribute pop")
#else
#define VARNEL_INIZIO_REGIONE(istruzioni) _Pragma("GCC push_options") _Pragma(VARNEL_STRINGA(GCC target(istruzioni)))
#define VARNEL_FINE_REGIONE _Pragma("GCC pop_options")
#endif
