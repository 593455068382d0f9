#include "render/gfx/buffer_readback.h"

#include "render/gfx/gl.h"

namespace quixo::gfx {

std::vector<std::uint8_t> ReadBufferBytes(const Buffer& buffer) {
    std::vector<std::uint8_t> bytes;
    if (buffer.name == 0 || buffer.desc.byteWidth == 0) return bytes;
    bytes.resize(buffer.desc.byteWidth);
    glGetNamedBufferSubData(buffer.name, 0, static_cast<GLsizeiptr>(bytes.size()), bytes.data());
    return bytes;
}

}  // namespace quixo::gfx
