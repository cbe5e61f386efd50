// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Cifratura.h"

#include <QByteArray>
#include <QString>

namespace varnel {

// What a worksheet shows: the ciphertext and its solution, the key and how it was made.
struct Scheda {
    TestoCifrato testo;
    Alfabeto alfabeto{};
    QString origine;         // how the key was made, for the teacher
    bool frequenze = false;  // the letter frequencies of the ciphertext and of Italian beside the key grid
};

// The worksheet as an A4 PDF: the ciphertext large and spaced, a blank line under each of its
// lines for the students' letters, and a key grid to fill; then, on a page of its own, the
// solution for the teacher.
[[nodiscard]] QByteArray SchedaPdf(const Scheda& scheda);

}  // namespace varnel
