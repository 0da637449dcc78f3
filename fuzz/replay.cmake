# Included from tests/: builds each fuzz target with a plain main that replays its seed
# corpus and regression inputs, so `make test` runs every reader over them.
file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*_fuzz.cpp)
foreach(src ${FUZZ_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(replay_${name} ${src} ${CMAKE_SOURCE_DIR}/fuzz/ReplayMain.cpp)
  target_link_libraries(replay_${name} PRIVATE kvx_test_support)
  target_include_directories(replay_${name} PRIVATE ${CMAKE_SOURCE_DIR}/fuzz)
  add_test(NAME fuzz.replay.${name}
    COMMAND replay_${name} ${CMAKE_SOURCE_DIR}/fuzz/corpus/${name} ${CMAKE_SOURCE_DIR}/fuzz/regressions/${name}
            ${CMAKE_BINARY_DIR}/fuzz-seeds/${name})
  set_tests_properties(fuzz.replay.${name} PROPERTIES ENVIRONMENT "${KVX_TEST_ENV}" TIMEOUT 600)
endforeach()
