// SPDX-License-Identifier: GPL-3.0-or-later
// What the reading does alike on every system, over the facts that each system's file reports.
#include "Lettura.h"

namespace varnel {

std::optional<Errore> FileInLettura::ControllaInvariato() const
{
    if (!m_impronta.regolare)
        return std::nullopt;
    // Only evidence counts: files under /proc and /sys report a size that is not their content's,
    // yet keep that size and their time from start to end.
    const auto adesso = Rileva(m_maniglia);
    if (!adesso || adesso->dimensione != m_impronta.dimensione || adesso->modifica != m_impronta.modifica)
        return Errore{Motivo::FileModificato, {}};
    return std::nullopt;
}

}  // namespace varnel
