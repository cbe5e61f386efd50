// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Controlli.h"
#include "Finestra.h"

#include <vector>

namespace varnel {

// The about window: the program's name, version and purpose. Nothing in it reacts to clicks.
class Form2 : public Finestra {
    Q_OBJECT
public:
    Form2();

protected:
    void costruisci(QWidget* area, double twipsPerPixel) override;
};

}  // namespace varnel
