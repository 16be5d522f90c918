# Warnings and sanitizers shared by every target of the project.
add_library(tarvo_options INTERFACE)
target_compile_options(tarvo_options INTERFACE -Wall -Wextra)
if(TARVO_WERROR)
  target_compile_options(tarvo_options INTERFACE -Werror)
endif()

if(TARVO_SANITIZE STREQUAL "address")
  target_compile_options(tarvo_options INTERFACE -fsanitize=address,undefined
                                                 -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(tarvo_options INTERFACE -fsanitize=address,undefined)
elseif(TARVO_SANITIZE STREQUAL "thread")
  target_compile_options(tarvo_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(tarvo_options INTERFACE -fsanitize=thread)
elseif(TARVO_SANITIZE)
  message(FATAL_ERROR "TARVO_SANITIZE must be empty, 'address' or 'thread'")
endif()

# Coverage for libFuzzer in every library, so that the fuzz targets see inside the parsers.
if(TARVO_FUZZ)
  target_compile_options(tarvo_options INTERFACE -fsanitize=fuzzer-no-link)
endif()

# tarvo_library(NAME SOURCES... [DEPS libs...]) : one static library per folder.
function(tarvo_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_DEPS;PRIVATE_DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC tarvo_options ${ARG_PUBLIC_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
endfunction()
