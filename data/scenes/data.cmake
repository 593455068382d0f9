# Scene graphs (data/scenes/*.scene) and curve tracks (data/tracks/*.track), compiled by scenec
# into the stored records and embedded as the blobs `scenes` and `tracks`.
file(GLOB QUIXO_SCENE_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.scene)
file(GLOB QUIXO_TRACK_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/tracks/*.track)
set(QUIXO_SCENES_BIN ${CMAKE_BINARY_DIR}/data/scenes.bin)
set(QUIXO_TRACKS_BIN ${CMAKE_BINARY_DIR}/data/tracks.bin)
add_custom_command(
  OUTPUT ${QUIXO_SCENES_BIN} ${QUIXO_TRACKS_BIN}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/data
  COMMAND scenec ${QUIXO_SCENES_BIN} ${QUIXO_TRACKS_BIN} ${QUIXO_SCENE_SOURCES}
          ${QUIXO_TRACK_SOURCES}
  DEPENDS scenec ${QUIXO_SCENE_SOURCES} ${QUIXO_TRACK_SOURCES}
  COMMENT "Compiling scene graphs and curve tracks"
  VERBATIM)
add_custom_target(quixo_scene_data DEPENDS ${QUIXO_SCENES_BIN} ${QUIXO_TRACKS_BIN})
quixo_embed(scenes ${QUIXO_SCENES_BIN} DEPENDS quixo_scene_data)
quixo_embed(tracks ${QUIXO_TRACKS_BIN} DEPENDS quixo_scene_data)
