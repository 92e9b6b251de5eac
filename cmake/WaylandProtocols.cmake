# Wayland protocols beyond the core, each turned by wayland-scanner into a client header
# and its interface tables.
find_package(PkgConfig REQUIRED)
pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
pkg_get_variable(WAYLAND_SCANNER wayland-scanner wayland_scanner)
if(NOT WAYLAND_PROTOCOLS_DIR OR NOT WAYLAND_SCANNER)
  message(FATAL_ERROR "the Linux saver needs wayland-protocols and wayland-scanner (tools/install-deps installs them)")
endif()

# varbules_wayland_protocols(<library> <xml>...): a static library of the protocols'
# tables whose users include their headers, <name>-client.h.
function(varbules_wayland_protocols library)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${library})
  file(MAKE_DIRECTORY ${dir})
  set(sources)
  foreach(xml ${ARGN})
    get_filename_component(name ${xml} NAME_WE)
    add_custom_command(
      OUTPUT ${dir}/${name}-client.h ${dir}/${name}.c
      COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${dir}/${name}-client.h
      COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${dir}/${name}.c
      DEPENDS ${xml}
      VERBATIM)
    list(APPEND sources ${dir}/${name}.c)
  endforeach()
  add_library(${library} STATIC ${sources})
  target_include_directories(${library} PUBLIC ${dir})
  target_link_libraries(${library} PUBLIC PkgConfig::WAYLAND_CLIENT)
endfunction()
