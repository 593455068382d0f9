# The tool tests start quixo-tool itself.
add_dependencies(quixo_tool_tests quixo-tool)
