# Warnings are errors for our own code on every compiler we build with.
function(tarvello_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# One static library per folder: every .cpp of the folder goes in.
function(tarvello_library name)
  file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} STATIC ${_sources})
  tarvello_warnings(${name})
endfunction()
