# The fuzz runs start the tool, and the module seeds come from the soundtrack generator's writer.
add_dependencies(quixo_fuzz_tests quixo-tool)
target_link_libraries(quixo_fuzz_tests PRIVATE quixo_xmgen)
