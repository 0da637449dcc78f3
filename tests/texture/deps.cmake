# The picture tests write PNG files with libpng.
target_link_libraries(test_texture PRIVATE PNG::PNG)
