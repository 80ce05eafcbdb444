# Writes the manual page of vordane-cli from the program's own help, so that
# it lists every subcommand and option the program has.
# Usage: cmake -DCLI=<vordane-cli> -DVERSION=<x.y.z> -DOUTPUT=<file> -P ManPage.cmake

function(vordane_help out)
    execute_process(COMMAND "${CLI}" ${ARGN} OUTPUT_VARIABLE text RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "vordane-cli ${ARGN} failed: ${status}")
    endif()
    # troff: a backslash is written \e, a line starting with "." or "'" is escaped.
    string(REPLACE "\\" "\\e" text "${text}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

vordane_help(general --help)
string(REGEX MATCHALL "\n  [a-z-]+ " lines "${general}")
set(commands "")
foreach(line IN LISTS lines)
    string(STRIP "${line}" command)
    list(APPEND commands "${command}")
endforeach()

set(page ".TH VORDANE-CLI 1 \"\" \"vordane-cli ${VERSION}\" \"Vordane\"\n")
string(APPEND page ".SH NOMBRE\nvordane-cli \\- los motores de Vordane desde la línea de órdenes\n")
string(APPEND page ".SH SINOPSIS\n.B vordane-cli\n.I ORDEN\n[\\fIopciones\\fR] \\fIARGUMENTOS\\fR\n.br\n")
string(APPEND page ".B vordane-cli\n\\-\\-help | \\-\\-version\n")
string(APPEND page ".SH DESCRIPCIÓN\n.nf\n${general}.fi\n")
string(APPEND page ".SH ÓRDENES\n")
foreach(command IN LISTS commands)
    vordane_help(help ${command} --help)
    string(APPEND page ".SS ${command}\n.nf\n${help}.fi\n")
endforeach()
string(APPEND page ".SH ESTADO DE SALIDA\n0 si todo fue bien; 1 si la operación falló (no se modifica ningún archivo); ")
string(APPEND page "2 si la orden está mal escrita. Una tubería cerrada (como tras \\fBhead\\fR) termina el programa ")
string(APPEND page "en silencio, por la señal SIGPIPE (estado 141 en el intérprete), sin dejar archivos temporales.\n")
string(APPEND page ".SH VÉASE TAMBIÉN\n.BR vordane (1)\n")
file(WRITE "${OUTPUT}" "${page}")
