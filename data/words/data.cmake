# The word list of the 3D text: checked and packed by quixo_wordc, embedded as `words`.
set(QUIXO_WORDS_SOURCE ${CMAKE_CURRENT_LIST_DIR}/words.txt)
set(QUIXO_WORDS_PACKED ${CMAKE_BINARY_DIR}/data/words/words.bin)
add_custom_command(
  OUTPUT ${QUIXO_WORDS_PACKED}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/data/words
  COMMAND quixo_wordc ${QUIXO_WORDS_SOURCE} ${QUIXO_WORDS_PACKED}
  DEPENDS quixo_wordc ${QUIXO_WORDS_SOURCE}
  COMMENT "Checking and packing the word list")
add_custom_target(quixo_words_data DEPENDS ${QUIXO_WORDS_PACKED})
quixo_embed(words ${QUIXO_WORDS_PACKED} DEPENDS quixo_words_data)
