# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-build for 64-bit Windows with Debian's MinGW-w64 (posix threads variant, so that
# std::thread and std::mutex work), running the test programs under Wine:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DVARNEL_QT=<Qt>
# where <Qt> is the static Qt for Windows that scripts/qt-windows prints (or -DVARNEL_GUI=OFF for
# the core alone). scripts/windows does this with a Wine prefix of its own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VARNEL_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VARNEL_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VARNEL_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${VARNEL_MINGW}-windres)

# Only the cross tools' own headers and libraries, and the static Qt for Windows; programs (the
# build's helpers, Qt's moc and rcc among them) from the host.
set(VARNEL_QT "" CACHE PATH "Static Qt for Windows, as scripts/qt-windows prints it")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VARNEL_QT)
set(CMAKE_FIND_ROOT_PATH /usr/${VARNEL_MINGW} ${VARNEL_QT})
if(VARNEL_QT)
    list(APPEND CMAKE_PREFIX_PATH ${VARNEL_QT})
    set(QT_HOST_PATH /usr CACHE PATH "")
    set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# GCC for Windows cannot keep the stack 32-byte aligned, yet spills AVX registers with aligned
# moves (GCC bug 54412): the assembler turns those into unaligned ones.
set(CMAKE_C_FLAGS_INIT "-Wa,-muse-unaligned-vector-move")
set(CMAKE_CXX_FLAGS_INIT "-Wa,-muse-unaligned-vector-move")
# One self-contained .exe: libgcc, libstdc++ and winpthread linked in, no DLL to look for.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")  # no symbols in what a school copies

# ctest (and the discovery of GoogleTest cases) runs the programs through Wine. The prefix is taken
# from VARNEL_WINEPREFIX, or else from WINEPREFIX as it was at configure time, so that a later
# ctest by hand uses the same one; empty leaves Wine its default.
find_program(VARNEL_WINE NAMES wine wine64)
set(VARNEL_WINEPREFIX "$ENV{WINEPREFIX}" CACHE PATH "Wine prefix in which ctest runs the tests (empty: Wine's default)")
if(VARNEL_WINE AND VARNEL_WINEPREFIX)
    set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${VARNEL_WINEPREFIX} ${VARNEL_WINE})
elseif(VARNEL_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${VARNEL_WINE})
endif()
