# SPDX-License-Identifier: GPL-3.0-or-later
# The version in project() is the only one written by hand. The header that the program and the
# tests read and the Windows version record are generated from it, CPack names the package after
# it, and the release notes written by hand (NEWS, the AppStream metadata, the manual pages) must
# name it as their newest release, or the configuration stops.

set(numeri)
foreach(parte MAJOR MINOR PATCH TWEAK)
    if("${PROJECT_VERSION_${parte}}" STREQUAL "")
        list(APPEND numeri 0)
    else()
        list(APPEND numeri ${PROJECT_VERSION_${parte}})
    endif()
endforeach()
list(JOIN numeri "," VARNEL_NUMERI_VERSIONE)
list(GET numeri 1 minore)
if(minore LESS 10)
    set(minore 0${minore})
endif()
set(VARNEL_VERSIONE_ESEGUIBILE ${PROJECT_VERSION_MAJOR}.${minore})

set(generati ${PROJECT_BINARY_DIR}/generati)
configure_file(${PROJECT_SOURCE_DIR}/app/VersioneProgramma.h.in ${generati}/VersioneProgramma.h @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/app/varnel.rc.in ${generati}/varnel.rc @ONLY)
set(VARNEL_RC ${generati}/varnel.rc)
add_library(varnel_versione INTERFACE)
target_include_directories(varnel_versione INTERFACE ${generati})

# Each note: the file, and the pattern whose first group is its newest release.
set(note
    NEWS "^varnel \\(([^)]+)\\)"
    app/example.varnel.Varnel.metainfo.xml "<release version=\"([^\"]+)\""
    app/varnel.1 "\\.TH VARNEL 1 [^ ]+ \"Varnel ([^\"]+)\""
    app/varnel.it.1 "\\.TH VARNEL 1 [^ ]+ \"Varnel ([^\"]+)\"")
while(note)
    list(POP_FRONT note file modello)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${file})
    file(READ ${PROJECT_SOURCE_DIR}/${file} testo)
    string(REGEX MATCH "${modello}" trovato "${testo}")
    if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
        message(FATAL_ERROR "${file} names release '${CMAKE_MATCH_1}' first, project() says ${PROJECT_VERSION}: "
                            "add the release there")
    endif()
endwhile()
