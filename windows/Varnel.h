#pragma once

#include "FinestraAnalisi.h"

namespace varnel {

// The main window: counts the letters a to z, lowercase, uppercase or both.
class Varnel : public FinestraAnalisi {
    Q_OBJECT
public:
    Varnel();

public slots:
    void Command1_Click() override;

protected:
    [[nodiscard]] std::vector<Controllo> tabella() const override;
};

}  // namespace varnel
