# The tests run the kvxview program and write scenes with the .3DS writer.
pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng)
target_link_libraries(test_viewer PRIVATE kvx3dswriter PkgConfig::PNG)
add_dependencies(test_viewer kvxview)
