#pragma once

#include "FinestraAnalisi.h"

namespace varnel {

// The advanced window: counts 26 symbols that the user types, matched exactly.
class Avanzata : public FinestraAnalisi {
    Q_OBJECT
public:
    Avanzata();

public slots:
    void Command1_Click() override;

protected:
    [[nodiscard]] std::vector<Controllo> tabella() const override;
};

}  // namespace varnel
