// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FinestraAnalisi.h"

#include <array>

class QRadioButton;

namespace varnel {

// The main window: counts the letters a to z, lowercase, uppercase or both.
class Varnel : public FinestraAnalisi {
    Q_OBJECT
public:
    Varnel();

protected:
    [[nodiscard]] std::optional<Richiesta> richiesta() override;
    [[nodiscard]] bool contaLettere() const override { return true; }
    [[nodiscard]] std::vector<Controllo> tabella() const override;
    void prendi(const ControlliPerNome& controlli) override;
    void dimenticaControlli() override;

private:
    std::array<QRadioButton*, 3> m_opzioni{};  // Option1 to Option3
};

}  // namespace varnel
