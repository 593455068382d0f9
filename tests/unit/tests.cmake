# The eval tests run quixo-tool itself.
if(TARGET quixo-tool)
  add_dependencies(quixo_unit_tests quixo-tool)
endif()
