# Included from tests/: builds each fuzz target with a plain main that replays its seed
# corpus and regression inputs, so `make test` runs every reader over them.
include(${CMAKE_SOURCE_DIR}/fuzz/targets.cmake)
# The demo's generated data (BUILD/data, made by `make data`) seeds the readers too.
add_test(NAME fuzz.seeds
  COMMAND sh ${CMAKE_SOURCE_DIR}/fuzz/collect-seeds.sh ${CMAKE_BINARY_DIR}/data ${CMAKE_BINARY_DIR}/fuzz-seeds)
set_tests_properties(fuzz.seeds PROPERTIES FIXTURES_SETUP kvx_fuzz_seeds)
foreach(src ${KVX_FUZZ_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(replay_${name} ${src} ${CMAKE_SOURCE_DIR}/fuzz/ReplayMain.cpp)
  kvx_fuzz_target_setup(replay_${name})
  add_test(NAME fuzz.replay.${name}
    COMMAND replay_${name} ${CMAKE_SOURCE_DIR}/fuzz/corpus/${name} ${CMAKE_SOURCE_DIR}/fuzz/regressions/${name}
            ${CMAKE_BINARY_DIR}/fuzz-seeds/${name})
  set_tests_properties(fuzz.replay.${name} PROPERTIES ENVIRONMENT "${KVX_TEST_ENV}" TIMEOUT 600
    FIXTURES_REQUIRED kvx_fuzz_seeds)
endforeach()
