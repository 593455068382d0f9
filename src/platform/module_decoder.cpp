#include "platform/module_decoder.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <libopenmpt/libopenmpt.hpp>
#include <sstream>

namespace quixo {

ModuleDecoder::ModuleDecoder(std::unique_ptr<openmpt::module> module)
    : module_(std::move(module)) {}

ModuleDecoder::~ModuleDecoder() = default;

std::unique_ptr<ModuleDecoder> ModuleDecoder::Open(const std::vector<std::uint8_t>& bytes,
                                                   std::string* error) {
    if (bytes.empty()) {
        *error = "the file is empty";
        return nullptr;
    }
    // libopenmpt's loader warnings would otherwise go to std::clog; a failure is reported by us.
    std::ostringstream log;
    try {
        auto module = std::make_unique<openmpt::module>(bytes, log);
        module->set_repeat_count(0);
        module->ctl_set_text("play.at_end", "stop");
        return std::unique_ptr<ModuleDecoder>(new ModuleDecoder(std::move(module)));
    } catch (const std::exception& e) {
        *error = std::string("not a module that can be played (") + e.what() + ")";
        return nullptr;
    }
}

int ModuleDecoder::Render(float* interleaved, int frames, int rate) {
    int done = 0;
    while (done < frames) {
        const std::size_t n =
            module_->read_interleaved_stereo(rate, frames - done, interleaved + 2 * done);
        if (n == 0) break;
        done += static_cast<int>(n);
    }
    return done;
}

int ModuleDecoder::CurrentOrder() const {
    return module_->get_current_order();
}

int ModuleDecoder::CurrentRow() const {
    return module_->get_current_row();
}

double ModuleDecoder::DurationSeconds() const {
    return module_->get_duration_seconds();
}

bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>* bytes, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = std::strerror(errno);
        return false;
    }
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        *error = "read error";
        return false;
    }
    return true;
}

}  // namespace quixo
