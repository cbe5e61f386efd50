// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What screen readers are told of the controls that Qt cannot describe by itself: the pictures
// that act like buttons, the gridlines that say nothing, the windows.

namespace varnel {

// Installs the description of these controls once; the windows call it as they build.
void InstallaAccessibilita();

}  // namespace varnel
