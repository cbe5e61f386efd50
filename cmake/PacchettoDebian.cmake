# SPDX-License-Identifier: GPL-3.0-or-later
# cpack -G DEB: the program with its menu entry, metadata, icons, manual page and Debian's
# documents; the Qt libraries it links come from dpkg-shlibdeps, the fonts its layouts are
# measured for and the translations of Qt's own dialogs are named here.
set(CPACK_PACKAGE_NAME varnel)
set(CPACK_PACKAGE_VENDOR "Varnel Project")
set(CPACK_PACKAGE_CONTACT "Varnel Project <info@varnel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "frequency analysis of ciphertexts (Italian interface)")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Varnel counts how often each of 26 symbols occurs in a text file and shows\nthe result as a bar chart, percentages and a summary, so that students of\nclassical cryptography can break monoalphabetic substitution ciphers by\nfrequency analysis. Its user interface is Italian.")
include(CPack)
