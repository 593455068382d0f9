#include "xm_writer.h"

#include <algorithm>

namespace quixo::xmgen {

namespace {

struct Bytes {
    std::vector<std::uint8_t> out;
    void U8(unsigned v) { out.push_back(static_cast<std::uint8_t>(v)); }
    void U16(unsigned v) {
        U8(v & 0xFF);
        U8((v >> 8) & 0xFF);
    }
    void U32(std::uint32_t v) {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    // A fixed-size text field, padded with zeros (or spaces, as trackers write the header).
    void Text(const std::string& s, std::size_t size, char pad = '\0') {
        for (std::size_t i = 0; i < size; ++i) U8(i < s.size() ? s[i] : pad);
    }
};

void WritePattern(Bytes& b, const XmPattern& p) {
    Bytes packed;
    for (const XmCell& c : p.cells) {
        const std::uint8_t flags = (c.note ? 1 : 0) | (c.instrument ? 2 : 0) | (c.volume ? 4 : 0) |
                                   (c.effect ? 8 : 0) | (c.param ? 16 : 0);
        // A cell with every field present is stored unpacked: it is one byte shorter.
        if (flags == 31) {
            packed.U8(c.note);
        } else {
            packed.U8(0x80 | flags);
            if (c.note) packed.U8(c.note);
        }
        if (c.instrument) packed.U8(c.instrument);
        if (c.volume) packed.U8(c.volume);
        if (c.effect) packed.U8(c.effect);
        if (c.param) packed.U8(c.param);
    }
    b.U32(9);
    b.U8(0);
    b.U16(p.rows);
    b.U16(static_cast<unsigned>(packed.out.size()));
    b.out.insert(b.out.end(), packed.out.begin(), packed.out.end());
}

void WriteEnvelope(Bytes& b, const XmEnvelope& e) {
    for (std::size_t i = 0; i < 12; ++i) {
        b.U16(i < e.points.size() ? e.points[i].tick : 0);
        b.U16(i < e.points.size() ? e.points[i].value : 0);
    }
}

void WriteInstrument(Bytes& b, const XmInstrument& ins) {
    const std::size_t start = b.out.size();
    b.U32(263);
    b.Text(ins.name, 22);
    b.U8(0);
    b.U16(1);
    b.U32(40);
    for (int i = 0; i < 96; ++i) b.U8(0);
    WriteEnvelope(b, ins.volumeEnvelope);
    WriteEnvelope(b, XmEnvelope{});
    b.U8(static_cast<unsigned>(ins.volumeEnvelope.points.size()));
    b.U8(0);
    b.U8(ins.volumeEnvelope.sustain < 0 ? 0 : ins.volumeEnvelope.sustain);
    b.U8(0);
    b.U8(0);
    b.U8(0);
    b.U8(0);
    b.U8(0);
    const bool envOn = !ins.volumeEnvelope.points.empty();
    b.U8((envOn ? 1 : 0) | (envOn && ins.volumeEnvelope.sustain >= 0 ? 2 : 0));
    b.U8(0);
    b.U8(0);  // vibrato type: sine
    b.U8(ins.vibratoSweep);
    b.U8(ins.vibratoDepth);
    b.U8(ins.vibratoRate);
    b.U16(ins.fadeout);
    while (b.out.size() - start < 263) b.U8(0);

    const XmSample& s = ins.sample;
    b.U32(static_cast<std::uint32_t>(s.data.size() * 2));
    b.U32(s.loopStart * 2);
    b.U32(s.loopLength * 2);
    b.U8(s.volume);
    b.U8(static_cast<std::uint8_t>(s.finetune));
    b.U8((s.loopLength ? 1 : 0) | 0x10);
    b.U8(s.panning);
    b.U8(static_cast<std::uint8_t>(s.relativeNote));
    b.U8(0);
    b.Text(ins.name, 22);
    // Delta coding, wrapping at 16 bits.
    std::uint16_t previous = 0;
    for (std::int16_t v : s.data) {
        const std::uint16_t u = static_cast<std::uint16_t>(v);
        b.U16(static_cast<std::uint16_t>(u - previous));
        previous = u;
    }
}

}  // namespace

std::vector<std::uint8_t> WriteXm(const XmModule& m) {
    Bytes b;
    b.Text("Extended Module: ", 17);
    b.Text(m.name, 20);
    b.U8(0x1A);
    b.Text("quixo xmgen", 20, ' ');
    b.U16(0x0104);
    b.U32(276);
    b.U16(static_cast<unsigned>(m.orders.size()));
    b.U16(0);
    b.U16(m.channels);
    b.U16(static_cast<unsigned>(m.patterns.size()));
    b.U16(static_cast<unsigned>(m.instruments.size()));
    b.U16(1);  // linear frequency table
    b.U16(m.speed);
    b.U16(m.bpm);
    for (int i = 0; i < 256; ++i) b.U8(i < static_cast<int>(m.orders.size()) ? m.orders[i] : 0);
    for (const XmPattern& p : m.patterns) WritePattern(b, p);
    for (const XmInstrument& ins : m.instruments) WriteInstrument(b, ins);
    return b.out;
}

}  // namespace quixo::xmgen
