#include "platform/module_decoder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <libopenmpt/libopenmpt.hpp>
#include <sstream>

#include "platform/files.h"

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

int ModuleDecoder::CurrentPattern() const {
    return module_->get_current_pattern();
}

int ModuleDecoder::CurrentRow() const {
    return module_->get_current_row();
}

int ModuleDecoder::CurrentSpeed() const {
    return module_->get_current_speed();
}

int ModuleDecoder::CurrentTempo() const {
    return module_->get_current_tempo();
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

bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>* bytes, std::string* error,
                   std::uint64_t maxBytes) {
    // A stream over a directory opens and then throws on its first read; and a FIFO or device
    // would block or never end. Only a regular file is read, by plain descriptor reads.
    const int fd = OpenForReading(path);
    if (fd < 0) {
        *error = std::strerror(errno);
        return false;
    }
    struct stat info {};
    bool ok = fstat(fd, &info) == 0;
    if (!ok) {
        *error = std::strerror(errno);
    } else if (!S_ISREG(info.st_mode)) {
        *error = S_ISDIR(info.st_mode) ? "it is a directory" : "it is not a regular file";
        ok = false;
    } else if (static_cast<std::uint64_t>(info.st_size) > maxBytes) {
        *error = "it is larger than " + std::to_string(maxBytes) + " bytes";
        ok = false;
    }
    bytes->clear();
    std::uint8_t block[65536];
    while (ok) {
        const auto n = read(fd, block, sizeof block);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            *error = std::strerror(errno);
            ok = false;
        } else if (bytes->size() + static_cast<std::size_t>(n) > maxBytes) {
            *error = "it is larger than " + std::to_string(maxBytes) + " bytes";
            ok = false;
        } else {
            bytes->insert(bytes->end(), block, block + n);
        }
    }
    close(fd);
    return ok;
}

}  // namespace quixo
