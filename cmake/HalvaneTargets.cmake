# Per-target defaults shared by every Halvane target: warnings, -Werror on request and the
# sanitizer of the build. Applied target by target, never through global flags.
function(halvane_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    if(HALVANE_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    if(HALVANE_SANITIZE STREQUAL "address")
        target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                 -fno-sanitize-recover=undefined)
        target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    elseif(HALVANE_SANITIZE STREQUAL "thread")
        target_compile_options(${target} PRIVATE -fsanitize=thread -fno-omit-frame-pointer)
        target_link_options(${target} PRIVATE -fsanitize=thread)
    elseif(NOT HALVANE_SANITIZE STREQUAL "")
        message(FATAL_ERROR "HALVANE_SANITIZE must be empty, 'address' or 'thread'")
    endif()
    if(HALVANE_FUZZ)
        # Coverage feedback for libFuzzer in every library the fuzz targets link.
        target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
    endif()
endfunction()

# A library of one layer: its sources, its public include root (the repository root, so that
# headers are included as "util/UTL_File.h") and the defaults above.
function(halvane_add_library target)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
    add_library(${target} STATIC ${ARG_SOURCES})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_LINKS})
    halvane_target_defaults(${target})
endfunction()
