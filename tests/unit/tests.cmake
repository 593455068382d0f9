# Extras for the unit tests: the shader library check runs glslang's command-line compiler and
# the SPIR-V disassembler on the embedded source.
find_program(QUIXO_GLSLANG_VALIDATOR glslangValidator)
find_program(QUIXO_SPIRV_DIS spirv-dis)
if(QUIXO_GLSLANG_VALIDATOR AND QUIXO_SPIRV_DIS)
  target_compile_definitions(quixo_unit_tests PRIVATE
    QUIXO_GLSLANG_VALIDATOR="${QUIXO_GLSLANG_VALIDATOR}" QUIXO_SPIRV_DIS="${QUIXO_SPIRV_DIS}")
endif()
