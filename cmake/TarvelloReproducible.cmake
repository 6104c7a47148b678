# Builds that give the same bytes from the same sources, wherever and
# whenever they run: what a user needs to check a download by rebuilding it.

# Static libraries: no member times, owners or modes in the archives.
foreach(_lang C CXX)
  set(CMAKE_${_lang}_ARCHIVE_CREATE "<CMAKE_AR> qcD <TARGET> <LINK_FLAGS> <OBJECTS>")
  set(CMAKE_${_lang}_ARCHIVE_APPEND "<CMAKE_AR> qD <TARGET> <LINK_FLAGS> <OBJECTS>")
  set(CMAKE_${_lang}_ARCHIVE_FINISH "<CMAKE_RANLIB> -D <TARGET>")
endforeach()

# The PE header's TimeDateStamp would otherwise hold the link time.
if(WIN32)
  add_link_options(-Wl,--no-insert-timestamp)
endif()

option(TARVELLO_RELEASE
  "Release build: no build folder paths in the objects, symbols stripped" OFF)
if(TARVELLO_RELEASE)
  # The source and build folders differ from one machine to the next; the
  # more specific build folder comes last, as the last matching map wins.
  # C and C++ only: windres takes no compiler flags.
  add_compile_options(
    $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.>
    $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}=.>)
  add_link_options(-s)
endif()
