// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>

#include <cstddef>

namespace varnel {

// The key's boxes stand in rows of this many.
inline constexpr int CaselleRiga = 13;

// A box of the key, holding one plain letter. What the keys ask of it goes to the window, which
// makes each change one step of the key's history and moves the cursor on: a letter replaces what
// is there, Backspace clears and goes back, Delete clears, the arrows move, a paste may fill the key.
class CasellaChiave : public QLineEdit {
    Q_OBJECT
public:
    explicit CasellaChiave(std::size_t slot);

signals:
    void digitata(std::size_t slot, char lettera);
    void cancellata(std::size_t slot, bool indietro);
    void spostamento(std::size_t slot, int passo);
    void incollata(std::size_t slot);

protected:
    bool event(QEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;
    void inputMethodEvent(QInputMethodEvent* evento) override;
    void contextMenuEvent(QContextMenuEvent* evento) override;

private:
    std::size_t m_slot;
};

}  // namespace varnel
