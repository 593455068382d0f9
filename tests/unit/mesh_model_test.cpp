#include <gtest/gtest.h>

#include "mesh/mesh_ops.h"
#include "mesh_test_util.h"

namespace quixo {
namespace {

using test::NewCube;
using test::NewMesh;

void ExpectVec(const Float3& v, float x, float y, float z) {
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}

TEST(MeshModel, CubeNormalsPointOutwardWithLengthEight) {
    auto cube = NewCube();
    ASSERT_EQ(cube->vertexCount, 8u);
    ASSERT_EQ(cube->quadCount, 6u);
    const float expected[6][3] = {{0, 0, -8}, {0, 8, 0},  {0, 0, 8},
                                  {0, -8, 0}, {-8, 0, 0}, {8, 0, 0}};
    for (int q = 0; q < 6; ++q) {
        ExpectVec(cube->quadNormals[q], expected[q][0], expected[q][1], expected[q][2]);
        EXPECT_EQ(cube->selected[q], 1u);
    }
    for (int v = 0; v < 8; ++v) {
        const Float3& p = cube->positions[v];
        ExpectVec(cube->vertexNormals[v], 8 * p.x, 8 * p.y, 8 * p.z);
    }
}

TEST(MeshModel, DupvertSearchesFromStartAndTreatsZeroSignsAsEqual) {
    auto mesh = NewMesh();
    mesh->vertexCount = 3;
    mesh->positions[0] = {0.0f, 1, 2};
    mesh->positions[1] = {5, 5, 5};
    mesh->positions[2] = {0.0f, 1, 2};
    EXPECT_EQ(dupvert(*mesh, {-0.0f, 1, 2}, 0), 0u);
    EXPECT_EQ(dupvert(*mesh, {-0.0f, 1, 2}, 1), 2u);
    EXPECT_EQ(dupvert(*mesh, {0.0f, 1, 2}, 3), 3u);  // start at the end: nothing compared
    EXPECT_EQ(dupvert(*mesh, {5, 5, 5.5f}, 0), 3u);

    EXPECT_EQ(addvert(*mesh, {5, 5, 5}, 0), 1u);
    EXPECT_EQ(mesh->vertexCount, 3u);
    EXPECT_EQ(addvert(*mesh, {5, 5, 5}, 3), 3u);  // start = count always appends
    EXPECT_EQ(mesh->vertexCount, 4u);
}

TEST(MeshModel, SelrangWithReversedBoundsDoesNothingEvenOnAnEmptyMesh) {
    auto cube = NewCube();
    selrang(*cube, 3, 2, 0);
    for (int q = 0; q < 6; ++q) EXPECT_EQ(cube->selected[q], 1u);

    // "Every quad" of a mesh without quads is the range 0 .. -1.
    auto empty = NewMesh();
    select1(*empty, 0);
    select2(*empty, 0);
    EXPECT_EQ(empty->selected[0], 0u);
    EXPECT_EQ(empty->quadCount, 0u);
}

TEST(MeshModel, DelquadKeepsOrderAndTheLastQuadOnlyLowersTheCount) {
    auto cube = NewCube();
    cube->selected[4] = 7;
    delquad(*cube, 1, 2);
    ASSERT_EQ(cube->quadCount, 4u);
    EXPECT_EQ(cube->quads[1][0], 1u);  // quad 3 (1, 0, 4, 5) moved down by two
    EXPECT_EQ(cube->quads[2][0], 0u);  // quad 4 (0, 3, 7, 4), with its flag
    EXPECT_EQ(cube->selected[2], 7u);
    delquad(*cube, 3, 1);
    EXPECT_EQ(cube->quadCount, 3u);
    EXPECT_EQ(cube->quads[2][0], 0u);
}

TEST(MeshModel, AdjquadCountsSharedCornerPairs) {
    auto cube = NewCube();
    EXPECT_EQ(adjquad(*cube, 0, 0), 4);
    EXPECT_EQ(adjquad(*cube, 0, 1), 2);  // an edge
    EXPECT_EQ(adjquad(*cube, 0, 2), 0);  // opposite faces
}

TEST(MeshModel, ExpandsGrowsOrMovesTheSelectionByOneRing) {
    auto cube = NewCube();
    select2(*cube, 0);
    cube->selected[0] = 1;
    expands(*cube, 1);
    const std::uint32_t grown[6] = {1, 1, 0, 1, 1, 1};
    for (int q = 0; q < 6; ++q) EXPECT_EQ(cube->selected[q], grown[q]) << q;

    select2(*cube, 0);
    cube->selected[0] = 1;
    expands(*cube, 0);
    const std::uint32_t ring[6] = {0, 1, 0, 1, 1, 1};
    for (int q = 0; q < 6; ++q) EXPECT_EQ(cube->selected[q], ring[q]) << q;
}

TEST(MeshModel, CentroidSumsCornersInOrderThenQuarters) {
    auto mesh = NewMesh();
    mesh->vertexCount = 4;
    mesh->quadCount = 1;
    // 1e8 + 1 - 1e8 depends on the order of the sums: left to right gives 0 here.
    mesh->positions[0] = {1e8f, 0, 0};
    mesh->positions[1] = {1, 0, 0};
    mesh->positions[2] = {-1e8f, 0, 0};
    mesh->positions[3] = {4, 0, 0};
    mesh->quads[0][0] = 0, mesh->quads[0][1] = 1, mesh->quads[0][2] = 2, mesh->quads[0][3] = 3;
    EXPECT_EQ(centroi(*mesh, 0).x, 1.0f);
}

}  // namespace
}  // namespace quixo
