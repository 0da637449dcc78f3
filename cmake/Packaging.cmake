# Installed programs, the show's data, manual pages, desktop entry and the Debian packages.
# Components: lib (the shared library), dev (headers, CMake package, pkg-config file),
# demo (glasswing, its data, menu entry) and tools (kvxview). `cpack -G DEB` makes one
# package of each.

set(KVX_DEB_MAINTAINER "Korvex3D developers <korvex3d@example.org>")
set(KVX_DEB_REVISION 1)
set(KVX_DEB_VERSION "${PROJECT_VERSION}-${KVX_DEB_REVISION}")
set(KVX_GAMES_DIR games)  # /usr/games, where Debian puts games and demos
set(KVX_DATA_DIR ${CMAKE_INSTALL_DATADIR}/korvex3d)
set(KVX_PACKAGE_FILES ${CMAKE_SOURCE_DIR}/packaging)
set(KVX_STAGE ${CMAKE_BINARY_DIR}/packaging)

# Programs installed outside /usr find the library through a path relative to themselves,
# so any later `cmake --install --prefix` runs without LD_LIBRARY_PATH. The packages are
# built for /usr, where the system's search path finds it.
set(KVX_PROGRAM_RPATH "")
if(NOT CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  file(RELATIVE_PATH KVX_BIN_TO_LIB /${KVX_GAMES_DIR} /${CMAKE_INSTALL_LIBDIR})
  set(KVX_PROGRAM_RPATH "$ORIGIN/${KVX_BIN_TO_LIB}")
endif()

# --- one doc folder per package: copyright and changelog ----------------------------------
find_program(KVX_GZIP gzip REQUIRED)
configure_file(${KVX_PACKAGE_FILES}/changelog.in ${KVX_STAGE}/changelog @ONLY)
add_custom_command(OUTPUT ${KVX_STAGE}/changelog.Debian.gz
  COMMAND ${KVX_GZIP} -9nc changelog > changelog.Debian.gz
  DEPENDS ${KVX_STAGE}/changelog WORKING_DIRECTORY ${KVX_STAGE} VERBATIM)

function(kvx_package_docs component package)
  install(FILES ${KVX_PACKAGE_FILES}/copyright ${KVX_STAGE}/changelog.Debian.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endfunction()

# --- manual pages from the programs' own --help ---------------------------------------------
find_program(KVX_HELP2MAN help2man)
# kvx_man_page(<target> <installed name> <section> <component> <one-line description>
#              [<name the --help text uses>])
function(kvx_man_page target name section component description)
  set(usage_name ${name})
  if(ARGC GREATER 5)
    set(usage_name ${ARGV5})
  endif()
  if(KVX_SANITIZE OR KVX_BUILD_FUZZ)
    return()  # instrumented trees are for testing, not for installing
  endif()
  if(NOT KVX_HELP2MAN)
    message(WARNING "help2man not found: no manual page for ${name}")
    return()
  endif()
  set(page ${KVX_STAGE}/${name}.${section})
  # help2man names the page after the program file, so it runs a link called ${name}.
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E create_symlink $<TARGET_FILE:${target}> ${KVX_STAGE}/${name}
    COMMAND ${KVX_HELP2MAN} --no-info --section=${section} --name=${description}
            --version-string=${PROJECT_VERSION} --output=${page} ${KVX_STAGE}/${name}
    COMMAND ${CMAKE_COMMAND} -E remove ${KVX_STAGE}/${name}
    COMMAND sed -i "s/^\\.B ${usage_name}$/.B ${name}/" ${page}
    COMMAND ${KVX_GZIP} -9nf ${page}
    DEPENDS ${target} VERBATIM)
  set_property(DIRECTORY APPEND PROPERTY KVX_MAN_OUTPUTS ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section} COMPONENT ${component})
endfunction()

# --- library and development files ---------------------------------------------------------
kvx_package_docs(lib libkorvex3d1)
kvx_package_docs(dev libkorvex3d-dev)

# --- the demo: glasswing, its data, icon and menu entry --------------------------------------
if(TARGET demo)
  # The same program as build/demo under its installed name; build/demo stays beside data/.
  add_executable(glasswing ${CMAKE_SOURCE_DIR}/demo/main.cpp)
  target_compile_definitions(glasswing PRIVATE $<TARGET_PROPERTY:demo,COMPILE_DEFINITIONS>)
  target_link_libraries(glasswing PRIVATE demo_show)
  set_target_properties(glasswing PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KVX_STAGE}/bin
    INSTALL_RPATH "${KVX_PROGRAM_RPATH}")
  install(TARGETS glasswing RUNTIME DESTINATION ${KVX_GAMES_DIR} COMPONENT demo)
  kvx_man_page(glasswing glasswing 6 demo "real-time 3D demo with music" demo)

  # The data generator writes the show's files and the icon at install time.
  install(CODE "execute_process(COMMAND $<TARGET_FILE:datagen> ${KVX_STAGE}/data
                                COMMAND_ERROR_IS_FATAL ANY OUTPUT_QUIET)
                execute_process(COMMAND $<TARGET_FILE:datagen> ${KVX_STAGE}/icon icon
                                COMMAND_ERROR_IS_FATAL ANY OUTPUT_QUIET)" COMPONENT demo)
  install(DIRECTORY ${KVX_STAGE}/data/ DESTINATION ${KVX_DATA_DIR} COMPONENT demo)
  install(FILES ${KVX_STAGE}/icon/glasswing.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps COMPONENT demo)
  install(FILES ${KVX_PACKAGE_FILES}/glasswing.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT demo)
  kvx_package_docs(demo korvex3d-demo)
endif()

# --- the viewer -----------------------------------------------------------------------------
if(TARGET kvxview)
  set_target_properties(kvxview PROPERTIES INSTALL_RPATH "${KVX_PROGRAM_RPATH}")
  install(TARGETS kvxview RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tools)
  kvx_man_page(kvxview kvxview 1 tools "view 3D Studio scenes")
  kvx_package_docs(tools korvex3d-tools)
endif()

get_property(KVX_MAN_OUTPUTS DIRECTORY PROPERTY KVX_MAN_OUTPUTS)
add_custom_target(package_files ALL DEPENDS ${KVX_STAGE}/changelog.Debian.gz ${KVX_MAN_OUTPUTS})

# --- make uninstall: removes what the last install wrote ----------------------------------
configure_file(${CMAKE_SOURCE_DIR}/cmake/Uninstall.cmake.in ${CMAKE_BINARY_DIR}/Uninstall.cmake @ONLY)
add_custom_target(uninstall COMMAND ${CMAKE_COMMAND} -P ${CMAKE_BINARY_DIR}/Uninstall.cmake)

# --- Debian packages ------------------------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvex3d)
set(CPACK_PACKAGE_VENDOR "Korvex3D developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL lib dev demo)
if(TARGET kvxview)
  list(APPEND CPACK_COMPONENTS_ALL tools)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${KVX_DEB_REVISION})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KVX_DEB_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The programs' own library is found in the build tree; its package is named below.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR})
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS OFF)
set(KVX_LIB_DEPENDS "libkorvex3d1 (= ${KVX_DEB_VERSION})")

set(CPACK_DEBIAN_LIB_PACKAGE_NAME libkorvex3d1)
set(CPACK_DEBIAN_LIB_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_LIB_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_LIB_PACKAGE_CONTROL_EXTRA ${KVX_PACKAGE_FILES}/triggers)
set(CPACK_COMPONENT_LIB_DESCRIPTION "real-time 3D engine over OpenGL - shared library
Korvex3D imports 3D Studio scenes with materials, lights, cameras
and keyframe animation and renders them through OpenGL 1.1 on an
SDL2 window. It adds particles, 2D overlays and text, octree
collision queries, static lighting and a console.
.
This package holds the shared library.")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME libkorvex3d-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "${KVX_LIB_DEPENDS}, libsdl2-dev, libgl-dev, libglu1-mesa-dev, pkg-config")
set(CPACK_DEBIAN_DEV_PACKAGE_SHLIBDEPS OFF)
set(CPACK_COMPONENT_DEV_DESCRIPTION "real-time 3D engine over OpenGL - development files
Korvex3D imports 3D Studio scenes with materials, lights, cameras
and keyframe animation and renders them through OpenGL 1.1 on an
SDL2 window.
.
This package holds the headers, the CMake package and the pkg-config file.")

set(CPACK_DEBIAN_DEMO_PACKAGE_NAME korvex3d-demo)
set(CPACK_DEBIAN_DEMO_PACKAGE_SECTION games)
set(CPACK_DEBIAN_DEMO_PACKAGE_DEPENDS "${KVX_LIB_DEPENDS}")
set(CPACK_COMPONENT_DEMO_DESCRIPTION "Glasswing, a real-time 3D demo on the Korvex3D engine
A 161-second show at 640 x 480: music, animated 3D scenes,
particles, a texture tunnel, sprites, titles, fades and scrolling
credits. It plays full screen or in a window, and can record itself
to a video or to still frames.")

set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME korvex3d-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_TOOLS_PACKAGE_DEPENDS "${KVX_LIB_DEPENDS}")
set(CPACK_COMPONENT_TOOLS_DESCRIPTION "viewer for 3D Studio scenes on the Korvex3D engine
kvxview opens a .3DS scene, plays its keyframe animation through
its cameras and can write rendered frames to image files.")

include(CPack)
