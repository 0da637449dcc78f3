# The tools tests use the .3DS writer directly and run the data generator.
target_link_libraries(test_tools PRIVATE kvx3dswriter)
add_dependencies(test_tools datagen)
target_compile_definitions(test_tools PRIVATE KVX_DATAGEN="$<TARGET_FILE:datagen>")
