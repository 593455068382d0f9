#include "platform/music_analysis.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/module_decoder.h"

namespace quixo {

namespace {

struct Reader {
    const std::vector<std::uint8_t>& bytes;
    std::size_t at = 0;
    bool ok = true;
    unsigned U8() {
        if (at >= bytes.size()) {
            ok = false;
            return 0;
        }
        return bytes[at++];
    }
    unsigned U16() {
        const unsigned lo = U8();
        return lo | (U8() << 8);
    }
    std::uint32_t U32() {
        const std::uint32_t lo = U16();
        return lo | (static_cast<std::uint32_t>(U16()) << 16);
    }
};

// The effect number of `channel` in the first row of the packed pattern data at r.at.
unsigned FirstRowEffect(Reader r, int channels, int channel) {
    for (int c = 0; c < channels && r.ok; ++c) {
        unsigned flags = r.U8();
        unsigned effect = 0;
        if (flags & 0x80) {
            if (flags & 1) r.U8();
            if (flags & 2) r.U8();
            if (flags & 4) r.U8();
            if (flags & 8) effect = r.U8();
            if (flags & 16) r.U8();
        } else {
            r.U8();
            r.U8();
            effect = r.U8();
            r.U8();
        }
        if (c == channel) return r.ok ? effect : 0;
    }
    return 0;
}

}  // namespace

bool LooksLikeXm(const std::vector<std::uint8_t>& bytes) {
    static const char kMagic[] = "Extended Module: ";
    return bytes.size() >= 17 && std::equal(kMagic, kMagic + 17, bytes.begin());
}

bool CheckXmStructure(const std::vector<std::uint8_t>& xm, std::string* error) {
    std::vector<int> orders;
    if (!FindSectionOrders(xm, &orders, error)) return false;
    Reader r{xm, 60};
    const std::uint32_t headerSize = r.U32();
    r.at = 70;
    const unsigned patternCount = r.U16();
    const unsigned instrumentCount = r.U16();
    r.at = 60 + headerSize;
    for (unsigned p = 0; p < patternCount; ++p) {
        const std::size_t start = r.at;
        const std::uint32_t length = r.U32();
        r.at = start + 7;
        const unsigned packedSize = r.U16();
        r.at = start + length + packedSize;
    }
    for (unsigned i = 0; i < instrumentCount && r.at <= xm.size(); ++i) {
        const std::size_t start = r.at;
        const std::uint32_t size = r.U32();
        r.at = start + 27;
        const unsigned samples = r.U16();
        const std::uint32_t sampleHeaderSize = samples > 0 ? r.U32() : 0;
        r.at = start + size;
        std::uint64_t data = 0;
        for (unsigned k = 0; k < samples && r.ok; ++k) {
            const std::size_t header = r.at;
            data += r.U32();
            r.at = header + sampleHeaderSize;
        }
        r.at += data;
    }
    if (!r.ok || r.at > xm.size()) {
        *error = "truncated XM file";
        return false;
    }
    return true;
}

bool FindSectionOrders(const std::vector<std::uint8_t>& xm, std::vector<int>* orders,
                       std::string* error) {
    if (xm.size() < 336 || !LooksLikeXm(xm)) {
        *error = "not an XM file";
        return false;
    }
    Reader r{xm, 60};
    const std::uint32_t headerSize = r.U32();
    const unsigned songLength = r.U16();
    r.U16();
    const unsigned channels = r.U16();
    const unsigned patternCount = r.U16();
    std::vector<bool> marked(patternCount, false);
    r.at = 60 + headerSize;
    for (unsigned p = 0; p < patternCount && r.ok; ++p) {
        const std::size_t start = r.at;
        const std::uint32_t length = r.U32();
        r.U8();
        r.U16();
        const unsigned packedSize = r.U16();
        r.at = start + length;
        if (packedSize > 0) {
            marked[p] = FirstRowEffect(r, channels, kSectionMarkChannel) == kSectionMarkEffect;
        }
        r.at += packedSize;
        if (r.at > xm.size()) r.ok = false;
    }
    if (!r.ok || songLength > 256) {
        *error = "truncated XM file";
        return false;
    }
    orders->clear();
    for (unsigned i = 0; i < songLength; ++i) {
        const unsigned pattern = xm[80 + i];
        if (pattern < patternCount && marked[pattern]) orders->push_back(static_cast<int>(i));
    }
    return true;
}

bool ListModuleRows(const std::vector<std::uint8_t>& module, int rate,
                    std::vector<ModuleRowStart>* rows, std::int64_t* totalFrames,
                    std::string* error) {
    std::unique_ptr<ModuleDecoder> decoder = ModuleDecoder::Open(module, error);
    if (!decoder) return false;
    rows->clear();
    // Small reads: a row change shows up after the read that crossed it, so a start is known
    // to within one read (a third of a millisecond at 48 kHz).
    constexpr int kStep = 16;
    float buffer[2 * kStep];
    std::int64_t frames = 0;
    rows->push_back({decoder->CurrentOrder(), decoder->CurrentPattern(), decoder->CurrentRow(),
                     decoder->CurrentSpeed(), decoder->CurrentTempo(), 0});
    bool first = true;  // the first row's own speed and tempo effects show after its first read
    for (;;) {
        const int n = decoder->Render(buffer, kStep, rate);
        if (n == 0) break;
        const int order = decoder->CurrentOrder();
        const int row = decoder->CurrentRow();
        ModuleRowStart& last = rows->back();
        if (order != last.order || row != last.row) {
            rows->push_back({order, decoder->CurrentPattern(), row, decoder->CurrentSpeed(),
                             decoder->CurrentTempo(), frames});
        } else if (first) {
            last.speed = decoder->CurrentSpeed();
            last.tempo = decoder->CurrentTempo();
        }
        first = false;
        frames += n;
    }
    *totalFrames = frames;
    return true;
}

bool MeasureModule(const std::vector<std::uint8_t>& xm, int rate, ModuleTimeline* timeline,
                   std::string* error) {
    std::vector<int> orders;
    if (!FindSectionOrders(xm, &orders, error)) return false;
    std::vector<ModuleRowStart> rows;
    if (!ListModuleRows(xm, rate, &rows, &timeline->totalFrames, error)) return false;
    timeline->sampleRate = rate;
    timeline->sectionStartFrames.clear();
    std::size_t next = 0;
    for (std::size_t i = 0; i < rows.size() && next < orders.size(); ++i) {
        const bool newOrder = i == 0 || rows[i].order != rows[i - 1].order;
        if (newOrder && rows[i].order == orders[next]) {
            timeline->sectionStartFrames.push_back(rows[i].audioFrame);
            ++next;
        }
    }
    return true;
}

int NearestShowFrame(std::int64_t audioFrame, int rate) {
    const double ms = static_cast<double>(audioFrame) * 1000.0 / rate;
    return static_cast<int>(std::lround(ms * 100.0 / 1666.0));
}

}  // namespace quixo
