# The shader library in its two stored pieces, declarations first; the program joins them.
quixo_embed(shader_declarations ${CMAKE_CURRENT_LIST_DIR}/declarations.hlsl)
quixo_embed(shader_functions ${CMAKE_CURRENT_LIST_DIR}/functions.hlsl)
