# The scene-level lighting test writes its .3DS input with the tools' writer.
target_link_libraries(test_spatial PRIVATE kvx3dswriter)
