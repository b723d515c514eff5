# Warnings, sanitizers and the strict Qt definitions every target shares.

add_library(kyvo_options INTERFACE)
target_compile_options(kyvo_options INTERFACE -Wall -Wextra -Wno-missing-field-initializers)
target_compile_definitions(kyvo_options INTERFACE
  QT_NO_KEYWORDS QT_NO_CAST_FROM_ASCII QT_NO_URL_CAST_FROM_STRING QT_NO_CAST_FROM_BYTEARRAY)

if(KYVO_FUZZ)
  # Everything the fuzz targets link is instrumented for coverage and checked.
  target_compile_options(kyvo_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                         -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(kyvo_options INTERFACE -fsanitize=address,undefined)
endif()

if(KYVO_SANITIZE)
  target_compile_options(kyvo_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer)
  target_link_options(kyvo_options INTERFACE -fsanitize=address,undefined)
endif()

# kyvo_library(name SOURCES ... LIBS ...): one folder, one static library.
function(kyvo_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC kyvo_options ${ARG_LIBS})
endfunction()

# kyvo_add_subfolders(): every subfolder of the calling folder that has its
# own CMakeLists.txt, in name order.
function(kyvo_add_subfolders)
  file(GLOB children RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child ${children})
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# The version the programs answer --version with: only the programs' main
# files include it, so a new version rebuilds nothing else.
configure_file(${PROJECT_SOURCE_DIR}/cmake/kyvo_version.h.in ${PROJECT_BINARY_DIR}/generated/kyvo_version.h @ONLY)
add_library(kyvo_version INTERFACE)
target_include_directories(kyvo_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
