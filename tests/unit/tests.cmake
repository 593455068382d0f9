# Extras for the unit tests: the shader library check runs glslang's command-line compiler and
# the SPIR-V disassembler on the embedded source.
find_program(QUIXO_GLSLANG_VALIDATOR glslangValidator)
find_program(QUIXO_SPIRV_DIS spirv-dis)
if(QUIXO_GLSLANG_VALIDATOR AND QUIXO_SPIRV_DIS)
  target_compile_definitions(quixo_unit_tests PRIVATE
    QUIXO_GLSLANG_VALIDATOR="${QUIXO_GLSLANG_VALIDATOR}" QUIXO_SPIRV_DIS="${QUIXO_SPIRV_DIS}")
endif()

# The music tests build small modules with the soundtrack generator's writer.
target_link_libraries(quixo_unit_tests PRIVATE quixo_xmgen)

# The committed soundtrack must be exactly what the generator writes.
add_test(NAME MusicModuleMatchesGenerator
         COMMAND xmgen --check ${CMAKE_SOURCE_DIR}/media_tessorin2012/music/music.xm)
set_tests_properties(MusicModuleMatchesGenerator PROPERTIES LABELS build)

