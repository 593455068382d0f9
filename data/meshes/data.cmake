# The 39 mesh programs: checked and compiled by meshc into the stored records.
set(QUIXO_MESH_SOURCE ${CMAKE_CURRENT_LIST_DIR}/programs.mesh)
set(QUIXO_MESH_RECORDS ${CMAKE_BINARY_DIR}/data/mesh_programs.bin)
add_custom_command(
  OUTPUT ${QUIXO_MESH_RECORDS}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/data
  COMMAND meshc ${QUIXO_MESH_SOURCE} ${QUIXO_MESH_RECORDS}
  DEPENDS meshc ${QUIXO_MESH_SOURCE}
  COMMENT "Compiling mesh programs"
  VERBATIM)
add_custom_target(quixo_mesh_programs DEPENDS ${QUIXO_MESH_RECORDS})
quixo_embed(mesh_programs ${QUIXO_MESH_RECORDS} DEPENDS quixo_mesh_programs)
