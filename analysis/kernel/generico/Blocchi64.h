// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The vector kernels, written once over a thin layer of primitives on blocks of 64 bytes: AVX-512
// (KernelAvx512.cpp), AVX2 on pairs of 32-byte registers (KernelAvx2.cpp), and an emulated
// AVX-512 on which a CPU without it still runs and tests them (KernelEmulato.cpp). A layer B provides:
//
//   B::Vettore                         64 bytes
//   Carica(p)                          the 64 bytes at p
//   CaricaParte(p, n)                  the n < 64 bytes at p, zero after them; no byte past them is read
//   Ripeti(b)                          b in every byte
//   Tabella(array<uint8_t, 64>)        the bytes of the table
//   Tabella16(array<uint8_t, 16>)      the table in each 16-byte lane
//   Uguali(a, b)                       bit i set where a[i] == b[i]
//   UgualiDove(k, a, b)                the same, only where k has bit i
//   Alti(a)                            bit i set where a[i] has bit 7
//   Prova(a, b)                        bit i set where a[i] & b[i] is not zero
//   Oppure, E, Xor(a, b)               bitwise
//   Meno(a, b)                         a[i] - b[i] modulo 256
//   MenoSaturato(a, b)                 a[i] - b[i], unsigned, not below zero
//   Massimo(a, b)                      the larger of a[i] and b[i], unsigned
//   NibbleAlti(a), NibbleBassi(a)      a[i] >> 4, a[i] & 15
//   Cerca16(t, x)                      0 where x[i] has bit 7, else t[16 * (i / 16) + (x[i] & 15)]
//   Precedenti<K>(a, b)                byte i of b's K-th predecessor in a then b, for K from 1 to 3
//   B::Distanze                        a block's distances from the band's start, as BitDelGruppo reads them
//   DistanzeDove(k, d)                 the distances d[i] below 32 where k has bit i; the others stand for no class
//   B::TabellaBit, TabellaDelGruppo(g) what BitDelGruppo reads for the band's classes 8g to 8g + 7 (g < 4)
//   BitDelGruppo(t, d)                 1 << (d[i] - 8g) where d[i] is one of those classes, else 0
//   Xor3(a, b, c), Maggioranza(a, b, c)  bitwise: odd parity, and at least two of three
//   Zero()                             zero in every byte
//   ContaUguali(c, a, b)               c[i] + 1 where a[i] == b[i], else c[i], modulo 256
//   B::Uguaglianza, Coincidono(a, b)   where a[i] == b[i], in the form that Accumula takes
//   CoincidonoAncora(u, a, b)          where u holds and a[i] == b[i]
//   B::Conteggio, Accumula(c, u)       c, zero when value-initialised, plus the bytes where u holds
//   Totale(c)                          what c has counted, once at most BlocchiPerConteggio blocks

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
