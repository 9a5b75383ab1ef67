# Settings every target of the project links: warnings (as errors by default) and sanitizers.
add_library(kirvan_common INTERFACE)
target_compile_options(kirvan_common INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
  -Woverloaded-virtual -Wconversion -Wnull-dereference -Wformat=2
  $<$<BOOL:${KIRVAN_WERROR}>:-Werror>)
target_compile_definitions(kirvan_common INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_KEYWORDS)

if(KIRVAN_SANITIZE)
  set(_kirvan_san -fsanitize=${KIRVAN_SANITIZE} -fno-omit-frame-pointer)
  if(KIRVAN_SANITIZE MATCHES "undefined")
    list(APPEND _kirvan_san -fno-sanitize-recover=all)
  endif()
  add_compile_options(${_kirvan_san})
  add_link_options(${_kirvan_san})
endif()

# kirvan_add_library(name SOURCES... LINKS...) — one library per subsystem folder.
function(kirvan_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LINKS} PRIVATE kirvan_common)
endfunction()
