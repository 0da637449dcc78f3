# The tests run the kvxview program and write scenes with the .3DS writer.
target_link_libraries(test_viewer PRIVATE kvx3dswriter)
add_dependencies(test_viewer kvxview)
