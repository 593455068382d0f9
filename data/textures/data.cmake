# The 29 textures are generated at build time by tools/compilers/texgen and embedded as PNG.
set(QUIXO_TEXTURE_DIR ${CMAKE_BINARY_DIR}/data/textures)
set(QUIXO_TEXTURE_FILES)
foreach(i RANGE 0 28)
  string(LENGTH "${i}" len)
  if(len EQUAL 1)
    set(i "0${i}")
  endif()
  list(APPEND QUIXO_TEXTURE_FILES ${QUIXO_TEXTURE_DIR}/texture_${i}.png)
endforeach()
add_custom_command(
  OUTPUT ${QUIXO_TEXTURE_FILES}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${QUIXO_TEXTURE_DIR}
  COMMAND texgen ${QUIXO_TEXTURE_DIR}
  DEPENDS texgen
  COMMENT "Generating the 29 textures")
add_custom_target(quixo_textures DEPENDS ${QUIXO_TEXTURE_FILES})
foreach(file ${QUIXO_TEXTURE_FILES})
  get_filename_component(name ${file} NAME_WE)
  quixo_embed(${name} ${file} DEPENDS quixo_textures)
endforeach()
