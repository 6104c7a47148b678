# The Debian package of the command-line program, made by `cpack -G DEB`:
# the program in /usr/bin, its man page (written by help2man from the
# program's own --help), the example list of published CA keys, the example
# APDU trace of a published transaction with its CA key, and the licence
# under /usr/share/doc/tarvello-cli. The Windows zips are put
# together by scripts/package.sh from the two mingw builds.
if(CMAKE_CROSSCOMPILING OR NOT TARGET tarvello-cli)
  return()
endif()

include(GNUInstallDirs)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/tarvello-cli)

install(TARGETS tarvello-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/tests/data/capk_public.txt
  ${PROJECT_SOURCE_DIR}/tests/data/trace_emvpt_dda.txt
  ${PROJECT_SOURCE_DIR}/tests/data/trace_visa_fdda.txt
  ${PROJECT_SOURCE_DIR}/tests/data/capk_emvpt_test.txt DESTINATION ${_doc_dir})
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${_doc_dir} RENAME copyright)

# The man page is made only for release builds, the ones that are packaged:
# the program's help, then every subcommand's (cmake/TarvelloManCommands.cmake).
# help2man runs the program by its bare name, so the usage line it copies
# carries no build folder; with SOURCE_DATE_EPOCH set it dates the page by
# the commit, and gzip -n leaves the file name and time out of the header.
if(TARVELLO_RELEASE)
  find_program(TARVELLO_HELP2MAN help2man REQUIRED)
  find_program(TARVELLO_GZIP gzip REQUIRED)
  set(_man ${CMAKE_CURRENT_BINARY_DIR}/tarvello-cli.1)
  set(_commands ${CMAKE_CURRENT_BINARY_DIR}/tarvello-cli.h2m)
  set(_commands_script ${PROJECT_SOURCE_DIR}/cmake/TarvelloManCommands.cmake)
  add_custom_command(OUTPUT ${_commands}
    COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:tarvello-cli> -DOUT=${_commands}
      -P ${_commands_script}
    DEPENDS tarvello-cli ${_commands_script}
    VERBATIM)
  add_custom_command(OUTPUT ${_man}.gz
    COMMAND ${CMAKE_COMMAND} -E env "PATH=$<TARGET_FILE_DIR:tarvello-cli>:$ENV{PATH}" LC_ALL=C
      ${TARVELLO_HELP2MAN} --no-info --version-string=${PROJECT_VERSION}
      "--name=check and use EMV CA public key lists" --include=${_commands}
      --output=${_man} tarvello-cli
    COMMAND ${TARVELLO_GZIP} -n -9 -f ${_man}
    DEPENDS tarvello-cli ${_commands}
    VERBATIM)
  add_custom_target(tarvello-cli-man ALL DEPENDS ${_man}.gz)
  install(FILES ${_man}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvello-cli)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Tarvello developers")
set(CPACK_PACKAGE_CONTACT "The Tarvello developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "check and use EMV CA public key lists from the command line")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The summary above is the first line; this is the text below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "tarvello-cli lists and verifies lists of EMV certification-authority public
keys (CAPKs) in the forms terminals and tools keep them (its own, pm3, tsv,
POS terminal TLV, JSON), checks them against a trusted list, converts between
those forms, computes key checksums and SHA-1 digests, applies the raw RSA
public operation, opens EMV certificates recovered with a CA key, decodes
BER-TLV card data and makes offline data authentication (SDA, DDA, CDA) of
a card from an APDU trace, naming the failing step and the TVR bits.")
include(CPack)
