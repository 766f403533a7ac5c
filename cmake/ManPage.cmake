# Writes the manual page of the command-line tool from its own help, so the two never disagree.
# cmake -DCLI=<vx6207-cli> -DOUT=<file.1> -DVERSION=<x.y.z> -P ManPage.cmake
execute_process(COMMAND ${CLI} --help OUTPUT_VARIABLE top RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${CLI} --help failed")
endif()

# roff treats a leading dot or quote as a request and a backslash as an escape.
function(vx_roff_block text out)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
    set(${out} ".PP\n.nf\n${text}\n.fi\n" PARENT_SCOPE)
endfunction()

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
    execute_process(COMMAND ${CLI} ${name} --help OUTPUT_VARIABLE help RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${CLI} ${name} --help failed")
    endif()
    vx_roff_block("${help}" block)
    string(APPEND page ".SS ${name}\n${block}")
endforeach()
string(APPEND page ".SH EXIT STATUS\n0 success, 1 failure (the message is on standard error), 2 usage error.\n")
file(WRITE ${OUT} "${page}")
