# Test-only oracles: lib3ds and Assimp read the same files independently.
# The generated scenes come from the data generator.
target_link_libraries(test_oracle PRIVATE 3ds assimp)
add_dependencies(test_oracle datagen)
target_compile_definitions(test_oracle PRIVATE KVX_DATAGEN="$<TARGET_FILE:datagen>")
target_link_libraries(test_oracle PRIVATE kvx3dswriter)
