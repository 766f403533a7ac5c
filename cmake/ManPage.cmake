# Writes the manual page of the command-line tool or of the simulator from the program's own help,
# so the two never disagree, and compresses it as Debian wants it (OUT.gz, no time stamp).
# cmake -DCLI=<vx6207-cli> -DOUT=<file.1> -DVERSION=<x.y.z> -P ManPage.cmake
# cmake -DSIM=<vx6207-sim> -DOUT=<file.1> -DVERSION=<x.y.z> -P ManPage.cmake
function(vx_help program out)
    execute_process(COMMAND ${program} ${ARGN} --help OUTPUT_VARIABLE help RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${program} ${ARGN} --help failed")
    endif()
    set(${out} "${help}" PARENT_SCOPE)
endfunction()

# roff treats a leading dot or quote as a request and a backslash as an escape.
function(vx_roff_block text out)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
    set(${out} ".PP\n.nf\n${text}\n.fi\n" PARENT_SCOPE)
endfunction()

function(vx_write_page page)
    file(WRITE ${OUT} "${page}")
    execute_process(COMMAND gzip -9nf ${OUT} RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "gzip ${OUT} failed")
    endif()
endfunction()

if(SIM)
    vx_help(${SIM} help)
    set(page ".TH VX6207-SIM 1 \"\" \"vx6207-sim ${VERSION}\" \"User Commands\"\n")
    string(APPEND page ".SH NAME\nvx6207-sim \\- simulator of the VX6207 resistance meter and its MUX\n")
    string(APPEND page ".SH SYNOPSIS\n.B vx6207-sim\n[\\fIOPTIONS\\fR]\n")
    string(APPEND page ".SH DESCRIPTION\nA stateful model of a VX6207 family resistance meter and its 42-channel MUX "
        "for trying and testing vx6207-app and vx6207-cli without an instrument. It serves TCP on loopback "
        "and a pseudo-terminal, stores every setting it is sent and answers its queries, measures configurable "
        "resistances with noise and judges them against the stored limits; options add faults (dropped, "
        "garbled or slow replies, closed connections).\n")
    vx_roff_block("${help}" block)
    string(APPEND page ".SH OPTIONS\n${block}")
    string(APPEND page ".SH SEE ALSO\n.BR vx6207-app (1),\n.BR vx6207-cli (1)\n")
    vx_write_page("${page}")
    return()
endif()

vx_help(${CLI} top)
set(page ".TH VX6207-CLI 1 \"\" \"vx6207-cli ${VERSION}\" \"User Commands\"\n")
string(APPEND page ".SH NAME\nvx6207-cli \\- VX6207 resistance meter companion (command line)\n")
string(APPEND page ".SH SYNOPSIS\n.B vx6207-cli\n.I SUBCOMMAND\n[\\fIOPTIONS\\fR]\n")
string(APPEND page ".SH DESCRIPTION\nIdentifies a VX6207 family resistance meter over a serial port or LAN, reads and "
    "writes its measurement settings, runs zero adjustment and self-check, and captures readings with "
    "their comparator judgements into text files or workbooks. \\fB\\-\\-simulate\\fR runs any command "
    "against the built-in simulator.\n")
vx_roff_block("${top}" block)
string(APPEND page "${block}")

# The subcommands are the indented names under "Subcommands:" in the help.
string(REGEX REPLACE ".*\nSubcommands:\n" "" list "${top}")
string(REGEX MATCHALL "\n?  [a-z][a-z-]+" names "${list}")
string(APPEND page ".SH COMMANDS\n")
foreach(name IN LISTS names)
    string(STRIP "${name}" name)
    vx_help(${CLI} help ${name})
    vx_roff_block("${help}" block)
    string(APPEND page ".SS ${name}\n${block}")
endforeach()
string(APPEND page ".SH EXIT STATUS\n0 success, 1 failure (the message is on standard error), 2 usage error.\n")
vx_write_page("${page}")
