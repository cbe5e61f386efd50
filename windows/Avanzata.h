// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FinestraAnalisi.h"

class QLineEdit;

namespace varnel {

// The advanced window: counts 26 symbols that the user types, matched exactly.
class Avanzata : public FinestraAnalisi {
    Q_OBJECT
public:
    Avanzata();

protected:
    [[nodiscard]] std::optional<Richiesta> richiesta() override;
    [[nodiscard]] std::vector<Controllo> tabella() const override;
    void prendi(const ControlliPerNome& controlli) override;
    void dimenticaControlli() override;

private:
    QLineEdit* m_text1 = nullptr;
};

}  // namespace varnel
