// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in Varnel.exe that holds only the resources of app/varnel.rc.in (version record and icon),
// so that the record can be read back where the windows themselves cannot be built.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
