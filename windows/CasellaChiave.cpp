// SPDX-License-Identifier: GPL-3.0-or-later
#include "CasellaChiave.h"

#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>

namespace varnel {

namespace {

// Undo and redo belong to the key's history, never to the box's own.
[[nodiscard]] bool AnnullaORipeti(const QKeyEvent& tasto)
{
    const auto combinazione = tasto.keyCombination();
    return tasto.matches(QKeySequence::Undo) || tasto.matches(QKeySequence::Redo)
           || combinazione == QKeyCombination(Qt::ControlModifier, Qt::Key_Y)
           || combinazione == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
}

[[nodiscard]] char LetteraAscii(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') ? static_cast<char>(u | 0x20) : char{0};
}

}  // namespace

CasellaChiave::CasellaChiave(std::size_t slot)
    : m_slot(slot)
{
    setObjectName(QStringLiteral("Chiave(%1)").arg(slot + 1));
    setMaxLength(1);
    setAlignment(Qt::AlignCenter);
    setMaximumWidth(48);
    setAcceptDrops(false);
}

bool CasellaChiave::event(QEvent* evento)
{
    if (evento->type() == QEvent::ShortcutOverride && AnnullaORipeti(*static_cast<QKeyEvent*>(evento))) {
        evento->ignore();  // the window's shortcut takes it
        return true;
    }
    return QLineEdit::event(evento);
}

void CasellaChiave::keyPressEvent(QKeyEvent* evento)
{
    if (evento->matches(QKeySequence::Paste)) {
        emit incollata(m_slot);
        return;
    }
    const int passo = evento->key() == Qt::Key_Left    ? -1
                      : evento->key() == Qt::Key_Right ? 1
                      : evento->key() == Qt::Key_Up    ? -CaselleRiga
                      : evento->key() == Qt::Key_Down  ? CaselleRiga
                                                       : 0;
    const bool semplice = (evento->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == Qt::NoModifier;
    if (passo != 0 && semplice) {
        emit spostamento(m_slot, passo);
    } else if ((evento->key() == Qt::Key_Backspace || evento->key() == Qt::Key_Delete) && semplice) {
        emit cancellata(m_slot, evento->key() == Qt::Key_Backspace);
    } else if (const QString testo = evento->text(); semplice && testo.size() == 1 && testo[0].isPrint()) {
        if (const char lettera = LetteraAscii(testo[0]))
            emit digitata(m_slot, lettera);  // any other character is no plain letter: nothing
    } else {
        QLineEdit::keyPressEvent(evento);  // Tab, copy, select all...
    }
}

void CasellaChiave::inputMethodEvent(QInputMethodEvent* evento)
{
    // A composed or dictated text arrives whole: its letters fill the boxes as typed ones do.
    const QString testo = evento->commitString();
    if (testo.isEmpty()) {
        QLineEdit::inputMethodEvent(evento);
        return;
    }
    std::size_t slot = m_slot;
    for (const QChar c : testo) {
        if (const char lettera = LetteraAscii(c))
            emit digitata(slot++, lettera);
    }
    evento->accept();
}

void CasellaChiave::contextMenuEvent(QContextMenuEvent* evento)
{
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (QAction* voce : menu->actions()) {
        if (voce->objectName() == QStringLiteral("edit-undo") || voce->objectName() == QStringLiteral("edit-redo")) {
            menu->removeAction(voce);
        } else if (voce->objectName() == QStringLiteral("edit-paste")) {
            voce->disconnect();
            connect(voce, &QAction::triggered, this, [this] { emit incollata(m_slot); });
        }
    }
    menu->popup(evento->globalPos());
}

}  // namespace varnel
