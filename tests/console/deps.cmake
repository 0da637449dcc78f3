# The scene commands load files written with the .3DS writer.
target_link_libraries(test_console PRIVATE kvx3dswriter)
