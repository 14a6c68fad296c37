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

# The include folder a library exports: under the build tree, the library's own headers alone,
# each linked at the path it is included by ("gfx/GFX_Vector3.h"). A header is the library's when
# it pairs with one of its sources or is named in HEADERS. Nothing exports the repository root, so
# an include that runs against the layers (a server file reaching into the REST client, a scene
# object into the controller) fails to compile unless the library links the one it includes.
function(halvane_export_headers target)
    cmake_parse_arguments(ARG "" "" "SOURCES;HEADERS" ${ARGN})
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    set(root ${PROJECT_BINARY_DIR}/include/${target})
    set(headers ${ARG_HEADERS})
    foreach(source IN LISTS ARG_SOURCES)
        get_filename_component(stem ${source} NAME_WE)
        get_filename_component(directory ${source} DIRECTORY)
        if(directory)
            set(stem ${directory}/${stem})
        endif()
        if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${stem}.h)
            list(APPEND headers ${stem}.h)
        endif()
    endforeach()
    file(REMOVE_RECURSE ${root})
    foreach(header IN LISTS headers)
        get_filename_component(directory ${root}/${folder}/${header} DIRECTORY)
        file(MAKE_DIRECTORY ${directory})
        file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${header} ${root}/${folder}/${header} SYMBOLIC)
    endforeach()
    target_include_directories(${target} PUBLIC ${root})
endfunction()

# A library of one layer: its sources, the headers it exports (see above), the libraries it
# links (public: what its headers include) and the defaults above.
function(halvane_add_library target)
    cmake_parse_arguments(ARG "" "" "SOURCES;HEADERS;LINKS" ${ARGN})
    add_library(${target} STATIC ${ARG_SOURCES})
    halvane_export_headers(${target} SOURCES ${ARG_SOURCES} HEADERS ${ARG_HEADERS})
    target_link_libraries(${target} PUBLIC ${ARG_LINKS})
    halvane_target_defaults(${target})
endfunction()
