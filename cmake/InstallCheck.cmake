# Installs the build into a temporary folder and checks what an installed
# Vordane needs: the programs, the menu entry, the AppStream description, the
# icons and the manual pages; the desktop entry and the description pass their
# validators, and the manual pages format without a warning, when those tools
# are on the machine.
# Usage: cmake -DBUILD_DIR=<build> -DDESTDIR=<empty folder> -DVERSION=<x.y.z> -P InstallCheck.cmake

file(REMOVE_RECURSE "${DESTDIR}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${DESTDIR}
                        ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix /usr
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

set(root "${DESTDIR}/usr")
set(expected
    bin/vordane
    bin/vordane-cli
    share/applications/vordane.desktop
    share/metainfo/vordane.metainfo.xml
    share/icons/hicolor/scalable/apps/vordane.svg
    share/icons/hicolor/48x48/apps/vordane.png
    share/icons/hicolor/256x256/apps/vordane.png
    share/man/man1/vordane.1
    share/man/man1/vordane-cli.1
    share/vordane/ejemplos/latin-castellano.sc
    share/vordane/ejemplos/latin.lex
    share/vordane/ejemplos/latin-italiano.sc
    share/vordane/ejemplos/latin-italiano.lex
    share/vordane/ejemplos/palabras-pesos.gen
    share/vordane/ejemplos/palabras-cambios.gen
    share/vordane/ejemplos/latin-castellano-etapas.sc
    share/vordane/ejemplos/latin.lan
    share/doc/vordane/copyright)
foreach(path IN LISTS expected)
    if(NOT EXISTS "${root}/${path}")
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endforeach()

# The installed command line answers with its version and licence.
execute_process(COMMAND "${root}/bin/vordane-cli" --version OUTPUT_VARIABLE version RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT version MATCHES "^vordane-cli ${VERSION}\n.*GPL-3\\.0-or-later")
    message(FATAL_ERROR "vordane-cli --version: \"${version}\" (${status})")
endif()

# The manual page lists every subcommand.
file(READ "${root}/share/man/man1/vordane-cli.1" page)
foreach(command generar transformar exportar combinar separar mayusculas minusculas lengua separar-lengua raiz
        importar-sca2)
    if(NOT page MATCHES "\n\\.SS ${command}\n")
        message(FATAL_ERROR "the manual page lacks ${command}")
    endif()
endforeach()
foreach(option --sin-repetir --excluir --rechazar --informe --trazar --salida --semilla @ampliada
               ejemplos/latin-castellano.sc)
    if(NOT page MATCHES "${option}")
        message(FATAL_ERROR "the manual page lacks ${option}")
    endif()
endforeach()

# The program's manual page: its version, every tool of the "Programas" menu,
# the file kinds, the examples, and the way to the command line.
file(READ "${root}/share/man/man1/vordane.1" page)
if(NOT page MATCHES "^\\.TH VORDANE 1 \"\" \"vordane ${VERSION}\"")
    message(FATAL_ERROR "the manual page of vordane lacks its title line with the version")
endif()
foreach(text "Generador de palabras" "Transformador de palabras" "Exportador de diccionarios"
             "Creador de diccionarios" "Combinador de diccionarios" "Administrador de lenguajes"
             "Creador de raíces" "Generador de lenguas" "Separador de lenguas" "Taller de cambios fonéticos"
             "\\.SH ARCHIVOS" "\\*\\.lng" "\\*\\.rad" "\\*\\.lan" "/vordane/ejemplos/"
             "\\.BR vordane-cli \\(1\\)")
    if(NOT page MATCHES "${text}")
        message(FATAL_ERROR "the manual page of vordane lacks ${text}")
    endif()
endforeach()

find_program(GROFF groff)
if(GROFF)
    foreach(name vordane vordane-cli)
        execute_process(COMMAND ${GROFF} -man -Tutf8 -K utf8 -ww -z "${root}/share/man/man1/${name}.1"
                        RESULT_VARIABLE status ERROR_VARIABLE out)
        if(NOT status EQUAL 0 OR NOT out STREQUAL "")
            message(FATAL_ERROR "groff on ${name}.1: ${out}")
        endif()
    endforeach()
else()
    message(STATUS "groff not found: the manual pages are not formatted")
endif()

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
    execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} "${root}/share/applications/vordane.desktop"
                    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT status EQUAL 0 OR NOT out STREQUAL "")
        message(FATAL_ERROR "desktop-file-validate: ${out}")
    endif()
else()
    message(STATUS "desktop-file-validate not found: the desktop entry is not validated")
endif()

find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
    execute_process(COMMAND ${APPSTREAMCLI} validate --no-net "${root}/share/metainfo/vordane.metainfo.xml"
                    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "appstreamcli validate: ${out}")
    endif()
else()
    message(STATUS "appstreamcli not found: the AppStream description is not validated")
endif()
file(REMOVE_RECURSE "${DESTDIR}")
