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
.TP
/usr/share/doc/tarvello-cli/trace_visa_fdda.txt
An example contactless APDU trace: a published tap of a Visa test card that
authenticates by fDDA, at the date its source gives (\\-\\-date 190819). Its
CA key is in capk_public.txt beside it.

[EXIT STATUS]
The same for every subcommand.
.TP
.B 0
Every check was made and passed.
.TP
.B 1
A check failed: a checksum mismatch or another failure of verify, a damaged
entry in a list file, a failed EMV check; for oda and trace \\-\\-capks, offline
data authentication failed or was not performed; for convert, the list was
refused.
.TP
.B 2
A usage or input error, reported as one line on standard error: the argument
and the problem, \\fIPATH\\fR: \\fIreason\\fR for a file, or standard output:
\\fIreason\\fR when the output could not be written.
.TP
.B 3
Nothing failed, but a check that decides the verdict could not be made: a hash
whose data was not given (recover icc without \\-\\-static\\-data, recover sdad
without \\-\\-dynamic\\-data), a listed key without a stored checksum (verify).
With \\-\\-json, valid is null.

[DAMAGED LISTS]
list and verify read every key of a list file and report, by its line, every
entry they could not read whole: a value that does not decode or has the wrong
length, an exponent other than 3 or 65537, a key whose lines are out of order
or missing, a line that looks like a tag but is not written as one, a line too
long. The keys without a problem are still listed and verified; the exit
status is 1. With \\-\\-json the entries are in problems (line, label, reason).
.PP
.nf
$ tarvello\\-cli verify damaged.txt
A000000003_08: OK
\\&...
A000000025_CA: OK
Line 17: A000000003_09: CHECKSUM: has 19 bytes, must be 20
Line 23: A000000003_92: EXPONENT: other characters after the number: '3x'
Summary: 15 keys, 0 mismatches, 2 damaged entries
.fi

[KEY LIST FORMS]
list, verify, convert and \\-\\-capks read a CA key list in any of five forms,
told from its content (\\-\\-format forces one): tarvello (the five tagged
lines RID, INDEX, MODULUS, EXPONENT, CHECKSUM), pm3 (a line RID INDEX EXPIRY
rsa EXPONENT MODULUS sha1 CHECKSUM, bytes with or without colons, EXPIRY
YYMMDD or 000000), tsv (tab\\-separated NAME EXPONENT INDEX RID MODULUS [BITS
[SHA1]]), tlv (a line of hex BER\\-TLV: 9F06, 9F22, DF02, DF04, DF03, DF05,
DF06, DF07 in any order) and json (what list \\-\\-json prints). A file whose
form cannot be told is an input error (exit 2).
.PP
verify names every finding with its line, the key's label and an identifier.
Failures (exit 1): checksum_mismatch, conflict, same_index_modulus,
modulus_too_long, modulus_even, exponent_not_allowed, expired, and with
\\-\\-reference FILE differs_from_reference, reference_key_elsewhere. Not
determined (exit 3 when nothing failed): checksum_absent. Notes: repeated,
shared_modulus, not_in_reference, expiry_unknown, unknown_tag,
verified_by_reference.
.PP
convert IN \\-\\-to FORMAT [\\-o OUT] writes every key in another form. A list
with a damaged entry or a failure other than expired is refused and nothing
is written (exit 1); expired keys, computed checksums and fields the target
form cannot hold are named on standard error.

[EXAMPLES]
.nf
tarvello-cli verify /usr/share/doc/tarvello-cli/capk_public.txt
tarvello-cli list \\-\\-json /usr/share/doc/tarvello-cli/capk_public.txt
tarvello-cli verify \\-\\-reference trusted.txt terminal_keys.tlv
tarvello-cli convert /usr/share/doc/tarvello-cli/capk_public.txt \\-\\-to tlv
cd /usr/share/doc/tarvello-cli
tarvello-cli oda \\-\\-capks capk_emvpt_test.txt trace_emvpt_dda.txt
tarvello-cli oda \\-\\-capks capk_public.txt \\-\\-date 190819 trace_visa_fdda.txt
tarvello-cli trace \\-\\-capks capk_emvpt_test.txt trace_emvpt_dda.txt \\-\\-html ~/report.html
tarvello-cli tlv 6F098407A0000000031010
.fi
")
