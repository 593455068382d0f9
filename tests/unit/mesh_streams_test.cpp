#include "mesh/mesh_streams.h"

#include <gtest/gtest.h>

#include <cmath>

#include "mesh_test_util.h"

namespace quixo {
namespace {

TEST(MeshStreams, CubeGivesSixVerticesPerQuadWithFaceCentresAndNormals) {
    auto cube = test::NewCube();
    const MeshStreams s = BuildProgramStreams(*cube, 0);
    ASSERT_EQ(s.vertices.size(), 36u);
    ASSERT_EQ(s.indices.size(), 36u);
    for (std::uint32_t i = 0; i < 36; ++i) EXPECT_EQ(s.indices[i], i);
    const int corners[6] = {0, 1, 3, 1, 2, 3};
    const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int k = 0; k < 6; ++k) {
        const MeshVertex& v = s.vertices[k];
        const Float3& p = kUnitCubePositions[kUnitCubeQuads[0][corners[k]]];
        EXPECT_EQ(v.position[0], p.x);
        EXPECT_EQ(v.position[1], p.y);
        EXPECT_EQ(v.position[2], p.z);
        EXPECT_EQ(v.position[3], 1.0f);
        EXPECT_EQ(v.normal[0], 8 * p.x);
        EXPECT_EQ(v.normal[1], 8 * p.y);
        EXPECT_EQ(v.normal[2], 8 * p.z);
        EXPECT_EQ(v.normal[3], 1.0f);
        EXPECT_EQ(v.texcoord[0], uv[corners[k]][0]);
        EXPECT_EQ(v.texcoord[1], uv[corners[k]][1]);
        EXPECT_EQ(v.centre[0], 0.0f);
        EXPECT_EQ(v.centre[1], 0.0f);
        EXPECT_EQ(v.centre[2], -1.0f);
        EXPECT_EQ(v.centre[3], 1.0f);
        for (int c = 0; c < 4; ++c) EXPECT_EQ(v.colour[c], 0x80);
    }
}

TEST(MeshStreams, SphericalAnglesOnTheAxes) {
    const float halfPi = static_cast<float>(M_PI / 2);
    float t[2];
    SphericalTexcoord({0, 0, 1}, t);
    EXPECT_EQ(t[0], 0.0f);
    EXPECT_EQ(t[1], 0.0f);
    SphericalTexcoord({1, 0, 0}, t);
    EXPECT_FLOAT_EQ(t[0], halfPi);
    EXPECT_EQ(t[1], 0.0f);
    SphericalTexcoord({0, 1, 0}, t);
    EXPECT_FLOAT_EQ(t[0], halfPi);
    EXPECT_FLOAT_EQ(t[1], halfPi);
    SphericalTexcoord({0, -2, 0}, t);
    EXPECT_FLOAT_EQ(t[1], -halfPi);
    SphericalTexcoord({0, 0, -3}, t);  // the z angle folds onto [0, pi/2]; h = 0 gives 0
    EXPECT_EQ(t[0], 0.0f);
    EXPECT_EQ(t[1], 0.0f);
    SphericalTexcoord({0, 0, 0}, t);
    EXPECT_EQ(t[0], 0.0f);
    EXPECT_EQ(t[1], 0.0f);
}

TEST(MeshStreams, TexMode1UsesTheCornerPositionAndEmptyMeshGivesNothing) {
    auto cube = test::NewCube();
    const MeshStreams s = BuildProgramStreams(*cube, 1);
    float t[2];
    SphericalTexcoord({-1, -1, -1}, t);
    EXPECT_EQ(s.vertices[0].texcoord[0], t[0]);
    EXPECT_EQ(s.vertices[0].texcoord[1], t[1]);
    EXPECT_FLOAT_EQ(t[1], static_cast<float>(-M_PI / 4));

    const MeshStreams other = BuildProgramStreams(*cube, 7);  // no texture rule: left zero
    EXPECT_EQ(other.vertices[1].texcoord[0], 0.0f);

    auto empty = test::NewMesh();
    const MeshStreams none = BuildProgramStreams(*empty, 0);
    EXPECT_TRUE(none.vertices.empty());
    EXPECT_TRUE(none.indices.empty());
}

}  // namespace
}  // namespace quixo
