# The music tests build small modules with the soundtrack generator's writer.
target_link_libraries(quixo_unit_tests PRIVATE quixo_xmgen)

# The committed soundtrack must be exactly what the generator writes.
add_test(NAME MusicModuleMatchesGenerator
         COMMAND xmgen --check ${CMAKE_SOURCE_DIR}/media_tessorin2012/music/music.xm)
set_tests_properties(MusicModuleMatchesGenerator PROPERTIES LABELS build)
