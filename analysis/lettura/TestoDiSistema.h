// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The system's words for its error codes, on Windows, for reading and writing alike.

#include <string>

namespace varnel::dettaglio {

// The system's own text for an error code, in the user's language, as UTF-8 and without the
// closing full stop and line end that FormatMessage adds.
[[nodiscard]] std::string TestoDiSistema(unsigned long codice);

}  // namespace varnel::dettaglio
