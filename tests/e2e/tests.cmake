# The launcher on its own, driven by the end-to-end tests through the X server.
add_executable(quixo_launcher_probe ${CMAKE_CURRENT_LIST_DIR}/probes/launcher_probe.cpp)
target_link_libraries(quixo_launcher_probe PRIVATE quixo_runtime)
add_dependencies(quixo_e2e_tests quixo_launcher_probe)
target_compile_definitions(quixo_e2e_tests PRIVATE
  QUIXO_LAUNCHER_PROBE="$<TARGET_FILE:quixo_launcher_probe>")

# The demo itself, run from the build folder where its music is copied, and the capture tool.
add_dependencies(quixo_e2e_tests quixo quixo-tool)
target_compile_definitions(quixo_e2e_tests PRIVATE QUIXO_DEMO="$<TARGET_FILE:quixo>"
  QUIXO_TOOL="$<TARGET_FILE:quixo-tool>")

# The demo as scripts/run builds it (build/release), when the test command built it first.
set(QUIXO_RELEASE_DEMO "" CACHE FILEPATH "The release build's quixo, started by an end-to-end test")
if(QUIXO_RELEASE_DEMO)
  target_compile_definitions(quixo_e2e_tests PRIVATE QUIXO_RELEASE_DEMO="${QUIXO_RELEASE_DEMO}")
endif()
