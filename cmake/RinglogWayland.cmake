# Client code of Wayland protocols, made by wayland-scanner in the build.
#   ringlog_wayland_protocols(TARGET XML...)
# makes TARGET a static library of the protocols' code whose users include
# "NAME-client-protocol.h". RINGLOG_WAYLAND is ON when the scanner, the client library and the
# protocols' folder (RINGLOG_WAYLAND_PROTOCOLS_DIR) are all there.
find_package(PkgConfig QUIET)
set(RINGLOG_WAYLAND OFF)
if(PkgConfig_FOUND)
    pkg_check_modules(WaylandClient QUIET IMPORTED_TARGET wayland-client)
    pkg_get_variable(RINGLOG_WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
    find_program(WAYLAND_SCANNER wayland-scanner)
    if(WaylandClient_FOUND AND WAYLAND_SCANNER AND RINGLOG_WAYLAND_PROTOCOLS_DIR)
        set(RINGLOG_WAYLAND ON)
        # The scanner writes C.
        enable_language(C)
    endif()
endif()

function(ringlog_wayland_protocols target)
    set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}-protocols)
    file(MAKE_DIRECTORY ${dir})
    set(sources)
    foreach(xml ${ARGN})
        get_filename_component(name ${xml} NAME_WE)
        add_custom_command(OUTPUT ${dir}/${name}-client-protocol.h ${dir}/${name}-protocol.c
                           COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${dir}/${name}-client-protocol.h
                           COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${dir}/${name}-protocol.c
                           DEPENDS ${xml} VERBATIM)
        list(APPEND sources ${dir}/${name}-client-protocol.h ${dir}/${name}-protocol.c)
    endforeach()
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${dir})
    target_link_libraries(${target} PUBLIC PkgConfig::WaylandClient)
    set_target_properties(${target} PROPERTIES AUTOMOC OFF)
endfunction()
