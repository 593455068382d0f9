#include "platform/spectrum.h"

#include <gtest/gtest.h>

#include "graph_builder.h"

namespace quixo {
namespace {

using test::GraphBuilder;

// Bin j holds j + 1; records the size of every request.
class RampSpectrum : public SpectrumSource {
public:
    void GetSpectrum(float* out, int count, int channelOffset) override {
        lastCount = count;
        lastChannel = channelOffset;
        ++calls;
        for (int j = 0; j < count; ++j) out[j] = static_cast<float>(j + 1);
    }
    int lastCount = 0, lastChannel = -1, calls = 0;
};

class Spectrum : public test::OperatorTest {
protected:
    void SetUp() override {
        OperatorTest::SetUp();
        SetSpectrumSource(&source);
    }
    void TearDown() override { SetSpectrumSource(nullptr); }
    RampSpectrum source;
};

TEST_F(Spectrum, SizeIsTheSmallestThatHoldsP0) {
    const struct {
        float p0;
        int size;
    } cases[] = {{100, 128}, {64, 64}, {300, 512}, {0, 64}, {-5, 512}, {256, 256}};
    for (const auto& c : cases) {
        GraphBuilder g;
        g.Node(kNodeSpectrum, {c.p0, 0});
        g.Evaluate();
        EXPECT_EQ(source.lastCount, c.size) << c.p0;
        EXPECT_EQ(source.lastChannel, 0);
    }
}

TEST_F(Spectrum, BinsFromTheOffsetScaledAndSplat) {
    GraphBuilder g;
    const int plain = g.Node(kNodeSpectrum, {512, 2}, {}, 2);
    const int scaled = g.Node(kNodeSpectrumScaled, {512, 40, 600});
    const int silent = g.Node(kNodeSpectrumScaled, {512, 40, 0});
    g.Evaluate();
    EXPECT_EQ(source.calls, 3);  // every node asks anew
    EXPECT_TRUE(test::VecNear(g.at(plain, 0), {3, 3, 3, 3}));
    EXPECT_TRUE(test::VecNear(g.at(plain, 1), {4, 4, 4, 4}));
    EXPECT_TRUE(test::VecNear(g.at(scaled, 0), {24600, 24600, 24600, 24600}));
    EXPECT_TRUE(test::VecNear(g.at(silent, 0), {0, 0, 0, 0}));
}

TEST_F(Spectrum, BinsPastTheRequestedSizeReadZero) {
    GraphBuilder g;
    const int past = g.Node(kNodeSpectrum, {256, 1000}, {}, 3);  // offset limited to 256
    const int edge = g.Node(kNodeSpectrum, {64, 62}, {}, 4);
    g.Evaluate();
    for (std::uint32_t i = 0; i < 3; ++i) EXPECT_EQ(g.at(past, i).x, 0) << i;
    EXPECT_EQ(g.at(edge, 0).x, 63);
    EXPECT_EQ(g.at(edge, 1).x, 64);
    EXPECT_EQ(g.at(edge, 2).x, 0);
    EXPECT_EQ(g.at(edge, 3).x, 0);
}

TEST(SpectrumWithoutMusic, ReadsZeros) {
    GraphBuilder g;
    const int n = g.Node(kNodeSpectrumScaled, {512, 2, 1});
    g.out(n).elements[0] = Vec4{5, 5, 5, 5};
    g.Evaluate();
    EXPECT_TRUE(test::VecNear(g.at(n, 0), {0, 0, 0, 0}));
}

}  // namespace
}  // namespace quixo
