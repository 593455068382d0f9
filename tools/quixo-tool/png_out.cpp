#include "png_out.h"

#include <spng.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "json_out.h"
#include "platform/files.h"

namespace quixo::tool {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
struct ContextFree {
    void operator()(spng_ctx* c) const { spng_ctx_free(c); }
};

[[noreturn]] void FailWrite(const std::string& path, const std::string& why) {
    throw ToolError{1, "cannot write " + path + ": " + why};
}

}  // namespace

void WritePng(TemporaryFile& out, const std::vector<std::uint8_t>& rgba, int width, int height) {
    const std::string& path = out.target();
    std::unique_ptr<std::FILE, FileCloser> file(OpenFile(out.path(), "wb"));
    if (!file) FailWrite(path, std::strerror(errno));
    std::unique_ptr<spng_ctx, ContextFree> ctx(spng_ctx_new(SPNG_CTX_ENCODER));
    if (!ctx) FailWrite(path, "out of memory");
    spng_ihdr ihdr{};
    ihdr.width = static_cast<std::uint32_t>(width);
    ihdr.height = static_cast<std::uint32_t>(height);
    ihdr.bit_depth = 8;
    ihdr.color_type = SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;
    int rc = spng_set_png_file(ctx.get(), file.get());
    if (rc == 0) rc = spng_set_ihdr(ctx.get(), &ihdr);
    if (rc == 0)
        rc = spng_encode_image(ctx.get(), rgba.data(), rgba.size(), SPNG_FMT_PNG,
                               SPNG_ENCODE_FINALIZE);
    if (rc != 0) FailWrite(path, spng_strerror(rc));
    // On disk before the rename, so that the target is never a name for a part-written file.
    if (!FlushToDisk(file.get()) || std::fclose(file.release()) != 0)
        FailWrite(path, std::strerror(errno));
    out.Commit();
}

}  // namespace quixo::tool
