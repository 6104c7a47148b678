# Script mode (cmake -DCLI=<program> -DOUT=<file> -P this file): writes the
# help2man include file that adds to tarvello-cli(1) what the program's top
# help leaves out: the help of every subcommand, the example files and
# examples. Subcommands are found in the help texts themselves (the
# "Subcommands:" lists), so the page follows the program without a second
# list to keep.

function(tarvello_help out_var)
  execute_process(COMMAND ${CLI} ${ARGN} --help
    OUTPUT_VARIABLE _text RESULT_VARIABLE _status)
  if(NOT _status EQUAL 0)
    message(FATAL_ERROR "${CLI} ${ARGN} --help failed: ${_status}")
  endif()
  set(${out_var} "${_text}" PARENT_SCOPE)
endfunction()

# The names listed under "Subcommands:" in a help text, in its order.
function(tarvello_subcommands help out_var)
  set(_names)
  if(help MATCHES "\nSubcommands:\n(.*)")
    string(REGEX REPLACE "\n\n.*" "" _list "${CMAKE_MATCH_1}")
    string(REGEX MATCHALL "(^|\n)  [a-z][a-z0-9-]*" _hits "${_list}")
    foreach(_hit ${_hits})
      string(STRIP "${_hit}" _name)
      list(APPEND _names ${_name})
    endforeach()
  endif()
  set(${out_var} ${_names} PARENT_SCOPE)
endfunction()

# A help text as a preformatted roff block: backslashes and lines that
# start with a control character would otherwise be read as roff.
function(tarvello_roff_block text out_var)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out_var} ".nf\n${text}.fi\n" PARENT_SCOPE)
endfunction()

# The help of a command and, after it, of each of its subcommands.
function(tarvello_command_pages out_var)
  tarvello_help(_help ${ARGN})
  set(_page "")
  if(ARGN)
    string(REPLACE ";" " " _title "${ARGN}")
    tarvello_roff_block("${_help}" _block)
    set(_page ".SS \"tarvello-cli ${_title}\"\n${_block}")
  endif()
  tarvello_subcommands("${_help}" _subs)
  foreach(_sub ${_subs})
    tarvello_command_pages(_sub_page ${ARGN} ${_sub})
    string(APPEND _page "${_sub_page}")
  endforeach()
  set(${out_var} "${_page}" PARENT_SCOPE)
endfunction()

tarvello_command_pages(_commands)
file(WRITE ${OUT} "[COMMANDS]
${_commands}
[FILES]
.TP
/usr/share/doc/tarvello-cli/capk_public.txt
An example CAPK list: published CA keys of three card schemes.
.TP
/usr/share/doc/tarvello-cli/trace_emvpt_dda.txt
An example APDU trace: a published transaction with a DDA card. Its CA key
is in capk_emvpt_test.txt beside it.

[EXAMPLES]
.nf
tarvello-cli verify /usr/share/doc/tarvello-cli/capk_public.txt
tarvello-cli list \\-\\-json /usr/share/doc/tarvello-cli/capk_public.txt
cd /usr/share/doc/tarvello-cli
tarvello-cli oda \\-\\-capks capk_emvpt_test.txt trace_emvpt_dda.txt
tarvello-cli tlv 6F098407A0000000031010
.fi
")
