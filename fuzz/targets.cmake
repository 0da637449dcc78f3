# What the fuzz targets need besides their source, shared by the libFuzzer build and the
# replay tests. The tunnel reader belongs to the demo, so its source is built in.
file(GLOB KVX_FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*_fuzz.cpp)

function(kvx_fuzz_target_setup target)
  target_link_libraries(${target} PRIVATE Korvex3D PkgConfig::SDL2)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/fuzz)
  if(target MATCHES "tunnel_fuzz$")
    target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/demo/Tunnel.cpp)
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/demo)
  endif()
endfunction()
