#include "platform/module_decoder.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
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

std::int64_t ModuleDecoder::SeekFrame(std::int64_t frame, int rate) {
    // The library seeks to the start of a row, which may lie after the time asked for: step
    // back until it lands at or before it, then decode the rest of the way.
    const double seconds = static_cast<double>(frame) / rate;
    double target = seconds;
    double at = module_->set_position_seconds(target);
    for (int i = 0; i < 8 && at > seconds && target > 0; ++i) {
        target = std::max(0.0, target - (at - seconds) - 0.05);
        at = module_->set_position_seconds(target);
    }
    std::int64_t landed = std::llround(at * rate);
    float scratch[2 * 1024];
    while (landed < frame) {
        const int made =
            Render(scratch, static_cast<int>(std::min<std::int64_t>(1024, frame - landed)), rate);
        if (made == 0) break;
        landed += made;
    }
    return landed;
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
