// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The AVX-512 kernels, written once over a thin layer of primitives on blocks of 64 bytes, so that
// a CPU without AVX-512 can still run and test them on an emulated layer. A layer B provides:
//
//   B::Vettore                         64 bytes
//   Carica(p)                          the 64 bytes at p
//   CaricaParte(p, n)                  the n < 64 bytes at p, zero after them; no byte past them is read
//   Ripeti(b)                          b in every byte
//   Tabella(array<uint8_t, 64>)        the bytes of the table
//   Tabella16(array<uint8_t, 16>)      the table in each 16-byte lane
//   Uguali(a, b)                       bit i set where a[i] == b[i]
//   UgualiDove(k, a, b)                the same, only where k has bit i
//   Minori(a, b)                       bit i set where a[i] < b[i], unsigned
//   Alti(a)                            bit i set where a[i] has bit 7
//   Prova(a, b)                        bit i set where a[i] & b[i] is not zero
//   Oppure, E, Xor(a, b)               bitwise
//   Meno(a, b)                         a[i] - b[i] modulo 256
//   MenoSaturato(a, b)                 a[i] - b[i], unsigned, not below zero
//   NibbleAlti(a), NibbleBassi(a)      a[i] >> 4, a[i] & 15
//   Cerca16(t, x)                      0 where x[i] has bit 7, else t[16 * (i / 16) + (x[i] & 15)]
//   PermutaDove(k, t, x)               t[x[i] & 63] where k has bit i, else 0
//   Permuta2(a, b, x)                  (x[i] & 64 ? b : a)[x[i] & 63]
//   Xor3(a, b, c), Maggioranza(a, b, c)  bitwise: odd parity, and at least two of three
//   Zero()                             zero in every byte
//   ContaUguali(c, a, b)               c[i] + 1 where a[i] == b[i], else c[i], modulo 256

#include "Blocchi64Campi.h"
#include "Blocchi64Conta.h"
#include "Blocchi64Utf8.h"
#include "Kernel.h"

namespace varnel::dettaglio::blocchi64 {

template <class B>
Kernel KernelDi()
{
    return {Conta<B>, Campi<B>, ValidaUtf8<B>, ContaSequenze<B>};
}

}  // namespace varnel::dettaglio::blocchi64
