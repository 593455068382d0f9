#include "render/texture_table.h"

#include "platform/embedded.h"

QUIXO_DECLARE_BLOB(texture_00);
QUIXO_DECLARE_BLOB(texture_01);
QUIXO_DECLARE_BLOB(texture_02);
QUIXO_DECLARE_BLOB(texture_03);
QUIXO_DECLARE_BLOB(texture_04);
QUIXO_DECLARE_BLOB(texture_05);
QUIXO_DECLARE_BLOB(texture_06);
QUIXO_DECLARE_BLOB(texture_07);
QUIXO_DECLARE_BLOB(texture_08);
QUIXO_DECLARE_BLOB(texture_09);
QUIXO_DECLARE_BLOB(texture_10);
QUIXO_DECLARE_BLOB(texture_11);
QUIXO_DECLARE_BLOB(texture_12);
QUIXO_DECLARE_BLOB(texture_13);
QUIXO_DECLARE_BLOB(texture_14);
QUIXO_DECLARE_BLOB(texture_15);
QUIXO_DECLARE_BLOB(texture_16);
QUIXO_DECLARE_BLOB(texture_17);
QUIXO_DECLARE_BLOB(texture_18);
QUIXO_DECLARE_BLOB(texture_19);
QUIXO_DECLARE_BLOB(texture_20);
QUIXO_DECLARE_BLOB(texture_21);
QUIXO_DECLARE_BLOB(texture_22);
QUIXO_DECLARE_BLOB(texture_23);
QUIXO_DECLARE_BLOB(texture_24);
QUIXO_DECLARE_BLOB(texture_25);
QUIXO_DECLARE_BLOB(texture_26);
QUIXO_DECLARE_BLOB(texture_27);
QUIXO_DECLARE_BLOB(texture_28);

namespace quixo {

const StoredTexture* StoredTextures() {
    static const StoredTexture table[kTextureCount] = {
        {0, static_cast<std::uint32_t>(QUIXO_BLOB(texture_00).size), QUIXO_BLOB(texture_00).data},
        {0, static_cast<std::uint32_t>(QUIXO_BLOB(texture_01).size), QUIXO_BLOB(texture_01).data},
        {0, static_cast<std::uint32_t>(QUIXO_BLOB(texture_02).size), QUIXO_BLOB(texture_02).data},
        {0, static_cast<std::uint32_t>(QUIXO_BLOB(texture_03).size), QUIXO_BLOB(texture_03).data},
        {0, static_cast<std::uint32_t>(QUIXO_BLOB(texture_04).size), QUIXO_BLOB(texture_04).data},
        {0, static_cast<std::uint32_t>(QUIXO_BLOB(texture_05).size), QUIXO_BLOB(texture_05).data},
        {0, static_cast<std::uint32_t>(QUIXO_BLOB(texture_06).size), QUIXO_BLOB(texture_06).data},
        {0, static_cast<std::uint32_t>(QUIXO_BLOB(texture_07).size), QUIXO_BLOB(texture_07).data},
        {0, static_cast<std::uint32_t>(QUIXO_BLOB(texture_08).size), QUIXO_BLOB(texture_08).data},
        {0, static_cast<std::uint32_t>(QUIXO_BLOB(texture_09).size), QUIXO_BLOB(texture_09).data},
        {0, static_cast<std::uint32_t>(QUIXO_BLOB(texture_10).size), QUIXO_BLOB(texture_10).data},
        {0, static_cast<std::uint32_t>(QUIXO_BLOB(texture_11).size), QUIXO_BLOB(texture_11).data},
        {0, static_cast<std::uint32_t>(QUIXO_BLOB(texture_12).size), QUIXO_BLOB(texture_12).data},
        {0, static_cast<std::uint32_t>(QUIXO_BLOB(texture_13).size), QUIXO_BLOB(texture_13).data},
        {0, static_cast<std::uint32_t>(QUIXO_BLOB(texture_14).size), QUIXO_BLOB(texture_14).data},
        {0, static_cast<std::uint32_t>(QUIXO_BLOB(texture_15).size), QUIXO_BLOB(texture_15).data},
        {0, static_cast<std::uint32_t>(QUIXO_BLOB(texture_16).size), QUIXO_BLOB(texture_16).data},
        {0, static_cast<std::uint32_t>(QUIXO_BLOB(texture_17).size), QUIXO_BLOB(texture_17).data},
        {0, static_cast<std::uint32_t>(QUIXO_BLOB(texture_18).size), QUIXO_BLOB(texture_18).data},
        {0, static_cast<std::uint32_t>(QUIXO_BLOB(texture_19).size), QUIXO_BLOB(texture_19).data},
        {0, static_cast<std::uint32_t>(QUIXO_BLOB(texture_20).size), QUIXO_BLOB(texture_20).data},
        {0, static_cast<std::uint32_t>(QUIXO_BLOB(texture_21).size), QUIXO_BLOB(texture_21).data},
        {0, static_cast<std::uint32_t>(QUIXO_BLOB(texture_22).size), QUIXO_BLOB(texture_22).data},
        {0, static_cast<std::uint32_t>(QUIXO_BLOB(texture_23).size), QUIXO_BLOB(texture_23).data},
        {0, static_cast<std::uint32_t>(QUIXO_BLOB(texture_24).size), QUIXO_BLOB(texture_24).data},
        {0, static_cast<std::uint32_t>(QUIXO_BLOB(texture_25).size), QUIXO_BLOB(texture_25).data},
        {0, static_cast<std::uint32_t>(QUIXO_BLOB(texture_26).size), QUIXO_BLOB(texture_26).data},
        {0, static_cast<std::uint32_t>(QUIXO_BLOB(texture_27).size), QUIXO_BLOB(texture_27).data},
        {0, static_cast<std::uint32_t>(QUIXO_BLOB(texture_28).size), QUIXO_BLOB(texture_28).data},
    };
    return table;
}

}  // namespace quixo
