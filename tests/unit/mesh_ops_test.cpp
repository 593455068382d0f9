#include "mesh/mesh_ops.h"

#include <gtest/gtest.h>

#include <cmath>

#include "mesh_test_util.h"

namespace quixo {
namespace {

using test::MakeProgram;
using test::NewCube;
using test::NewMesh;

bool Near(const Float3& v, float x, float y, float z, float eps = 1e-6f) {
    return std::fabs(v.x - x) <= eps && std::fabs(v.y - y) <= eps && std::fabs(v.z - z) <= eps;
}

TEST(MeshOperand, DecodingAtTheEndsAndTheMiddle) {
    EXPECT_EQ(DecodeOperand(0), -8.0f);
    EXPECT_EQ(DecodeOperand(255), 8.000001f);
    EXPECT_NEAR(DecodeOperand(128), 0.0313730f, 1e-7f);  // not 0: the middle lies between bytes
    EXPECT_NEAR(DecodeOperand(136), 0.533334f, 1e-6f);
    EXPECT_NEAR(DecodeOperand(160), 2.039216f, 1e-6f);
}

TEST(MeshTopology, SmooothOnTheCubeMovesCornersAndPlacesEdgeAndFacePoints) {
    auto cube = NewCube();
    smoooth(*cube, 0);
    ASSERT_EQ(cube->vertexCount, 26u);
    ASSERT_EQ(cube->quadCount, 24u);
    EXPECT_TRUE(Near(cube->positions[6], 5.0f / 9, 5.0f / 9, 5.0f / 9));
    // The first quad's children: (w0, e0, c, e3) with c its face point, e0 on edge 0-1.
    const std::uint32_t* child = cube->quads[0];
    EXPECT_TRUE(Near(cube->positions[child[1]], 0, -0.75f, -0.75f));
    EXPECT_TRUE(Near(cube->positions[child[2]], 0, 0, -1));
    for (std::uint32_t q = 0; q < 24; ++q) EXPECT_EQ(cube->selected[q], 1u);
}

TEST(MeshTopology, SubdKeepsOldVerticesAndTheParentsFlags) {
    auto cube = NewCube();
    cube->selected[1] = 0;
    subd(*cube, 0);
    ASSERT_EQ(cube->vertexCount, 26u);
    ASSERT_EQ(cube->quadCount, 24u);
    for (int v = 0; v < 8; ++v) {
        const Float3& p = kUnitCubePositions[v];
        EXPECT_TRUE(Near(cube->positions[v], p.x, p.y, p.z, 0));
    }
    for (std::uint32_t q = 0; q < 24; ++q) EXPECT_EQ(cube->selected[q], q / 4 == 1 ? 0u : 1u) << q;
}

TEST(MeshTopology, RepeatedSmoothingOfTheCube) {
    auto cube = NewCube();
    for (int i = 0; i < 3; ++i) smoooth(*cube, 0);
    EXPECT_EQ(cube->vertexCount, 386u);
    EXPECT_EQ(cube->quadCount, 384u);
}

TEST(MeshTopology, SmoothingAnOpenQuadKeepsItsCornersNearby) {
    // One lone quad: each corner has n = 1, so n - 3 is negative. Read unsigned it would throw
    // the corners about four billion units away.
    auto mesh = NewMesh();
    addcube(*mesh, 0);
    mesh->quadCount = 1;
    smoooth(*mesh, 0);
    ASSERT_EQ(mesh->quadCount, 4u);
    for (std::uint32_t v = 0; v < 4; ++v) {
        const Float3& p = mesh->positions[v];
        EXPECT_LT(std::fabs(p.x) + std::fabs(p.y) + std::fabs(p.z), 10.0f) << v;
    }
    // corner: (p * (1 - 3) + (c + e) / 1) / 1 with c the face centre and e the sum of the
    // corner's edge to the next corner: (-1,-1,-1) -> (2, 2, 2) + (0, 0, -1) + (0, -2, -2).
    EXPECT_TRUE(Near(mesh->positions[0], 2, 0, -1));
}

TEST(MeshTopology, AddquadOnOneFace) {
    auto cube = NewCube();
    select2(*cube, 0);
    cube->selected[2] = 1;
    addquad(*cube, 0);
    ASSERT_EQ(cube->vertexCount, 12u);
    ASSERT_EQ(cube->quadCount, 10u);
    const std::uint32_t kept[5] = {0, 1, 3, 4, 5};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(cube->quads[i][0], kUnitCubeQuads[kept[i]][0]);
        EXPECT_EQ(cube->selected[i], 0u);
    }
    // The cap on the new vertices 8..11 at the face's corners, then four zero-height walls.
    for (int j = 0; j < 4; ++j) {
        EXPECT_EQ(cube->quads[5][j], 8u + j);
        const Float3& a = cube->positions[8 + j];
        const Float3& b = cube->positions[kUnitCubeQuads[2][j]];
        EXPECT_TRUE(Near(a, b.x, b.y, b.z, 0));
    }
    EXPECT_EQ(cube->selected[5], 1u);
    const std::uint32_t wall[4] = {8, 7, 6, 9};  // (k0, w0, w1, k1)
    for (int j = 0; j < 4; ++j) EXPECT_EQ(cube->quads[6][j], wall[j]);
    for (int i = 6; i < 10; ++i) EXPECT_EQ(cube->selected[i], 0u);
}

TEST(MeshTopology, AddcubeTwiceAndDeletingEverything) {
    auto mesh = NewMesh();
    addcube(*mesh, 0);
    mesh->selected[0] = 0;
    addcube(*mesh, 0);
    EXPECT_EQ(mesh->vertexCount, 16u);
    EXPECT_EQ(mesh->quadCount, 12u);
    EXPECT_EQ(mesh->selected[0], 0u);  // the first cube's flags are left alone
    EXPECT_EQ(mesh->quads[6][0], 8u);
    select1(*mesh, 0);
    delQuad(*mesh, 0);
    EXPECT_EQ(mesh->quadCount, 0u);
    EXPECT_EQ(mesh->vertexCount, 16u);
}

TEST(MeshSelection, RangeSelectionOnTheCube) {
    auto cube = NewCube();
    select2(*cube, 0);
    select9(*cube, 0);
    select8(*cube, 0);  // z range [-1, -1]: only the reference quad
    for (int q = 0; q < 6; ++q) EXPECT_EQ(cube->selected[q], q == 0 ? 1u : 0u);
    select6(*cube, 0);  // x range [-1, 1], closed: every centre
    for (int q = 0; q < 6; ++q) EXPECT_EQ(cube->selected[q], 1u);
}

TEST(MeshSelection, RangeSelectionNeedsAQuadToggledOn) {
    auto cube = NewCube();
    select2(*cube, 0);
    select9(*cube, 0);
    select9(*cube, 0);  // off again: no reference
    EXPECT_EQ(lastToggledQuad, -1);
    select6(*cube, 0);
    for (int q = 0; q < 6; ++q) EXPECT_EQ(cube->selected[q], 0u);

    select9(*cube, 3);
    select2(*cube, 0);
    select1(*cube, 0);
    cube->selected[0] = 0;
    select6(*cube, 0);  // the reference went with select2
    EXPECT_EQ(cube->selected[0], 0u);
}

TEST(MeshSelection, TogglingASelectedQuadTwiceKeepsItAsReference) {
    auto cube = NewCube();
    select9(*cube, 4);
    EXPECT_EQ(cube->selected[4], 0u);
    EXPECT_EQ(lastToggledQuad, -1);
    select9(*cube, 4);
    EXPECT_EQ(cube->selected[4], 1u);
    EXPECT_EQ(lastToggledQuad, 4);
}

TEST(MeshTransform, SelectedOnlyTransformsLeaveAnUnselectedMeshAlone) {
    for (MeshOperation op : {scale5, scale6, scale7, scale8, trans4, trans5, trans6, rotate1,
                             rotate2, rotate3, scalece, trans2}) {
        auto cube = NewCube();
        select2(*cube, 0);
        op(*cube, 3.0f);
        for (int v = 0; v < 8; ++v) {
            const Float3& p = kUnitCubePositions[v];
            EXPECT_TRUE(Near(cube->positions[v], p.x, p.y, p.z, 0));
        }
    }
}

TEST(MeshTransform, Rotate3By255TurnsHalfWayRound) {
    auto mesh = NewMesh();
    addcube(*mesh, 0);
    mesh->positions[1] = {1, 0, 0};
    rotate3(*mesh, DecodeOperand(255));
    EXPECT_TRUE(Near(mesh->positions[1], -1, 0, 0, 1e-5f));
    EXPECT_TRUE(Near(mesh->positions[6], -1, -1, 1, 1e-5f));
}

TEST(MeshTransform, Trans2PushesSharedCornersAlongEveryFaceNormal) {
    auto cube = NewCube();
    trans2(*cube, 0.25f);
    EXPECT_TRUE(Near(cube->positions[6], 3, 3, 3, 0));
    EXPECT_TRUE(Near(cube->positions[0], -3, -3, -3, 0));
}

TEST(MeshTransform, ScaleceShrinksEachExtrudedCapAboutItsOwnCentre) {
    auto cube = NewCube();
    addquad(*cube, 0);
    scalece(*cube, 0.5f);
    // Cap of the z = -1 face: corners halfway to (0, 0, -1); the base corners stay.
    EXPECT_TRUE(Near(cube->positions[8], -0.5f, -0.5f, -1, 0));
    EXPECT_TRUE(Near(cube->positions[10], 0.5f, 0.5f, -1, 0));
    EXPECT_TRUE(Near(cube->positions[0], -1, -1, -1, 0));
}

TEST(MeshInterpreter, SelectionsAndTogglesLeaveNormalsAloneEverythingElseRecomputes) {
    auto mesh = NewMesh();
    unpacko(MakeProgram({{31}}), *mesh);
    mesh->quadNormals[0] = {1, 2, 3};
    unpacko(MakeProgram({{19}, {20}, {21}, {22}, {23}, {24}, {25}, {26}, {50}, {40}}, {1}), *mesh);
    EXPECT_TRUE(Near(mesh->quadNormals[0], 1, 2, 3, 0));
    unpacko(MakeProgram({{20}, {4}}), *mesh);  // scale5 with nothing selected: still recomputed
    EXPECT_TRUE(Near(mesh->quadNormals[0], 0, 0, -8, 0));
}

// The operation table is what the interpreter and the source reader both read: each row is
// found by its code and by its name, and only the toggle, fed from the quad stream, has no
// routine of its own.
TEST(MeshInterpreter, EveryOperationIsFoundByCodeAndNameAndRunsARoutine) {
    for (const MeshOpRow& row : functio) {
        EXPECT_EQ(MeshOpOf(row.code), &row) << row.name;
        EXPECT_EQ(MeshOpNamed(row.name), &row) << row.name;
        EXPECT_EQ(row.run == nullptr, row.code == kToggleOpcode) << row.name;
    }
    EXPECT_EQ(MeshOpOf(40), nullptr);
    EXPECT_EQ(MeshOpNamed("smooth"), nullptr);
}

TEST(MeshInterpreter, TheTellingRows) {
    auto mesh = NewMesh();
    unpacko(MakeProgram({}), *mesh);
    EXPECT_EQ(mesh->quadCount, 0u);

    unpacko(MakeProgram({{31}, {28}, {28}, {28}}), *mesh);
    EXPECT_EQ(mesh->vertexCount, 386u);
    EXPECT_EQ(mesh->quadCount, 384u);

    ClearQuadMesh(*mesh);
    unpacko(MakeProgram({{31, 128}, {29, 128}, {8, 136}, {13, 129}}), *mesh);
    EXPECT_EQ(mesh->vertexCount, 32u);
    EXPECT_EQ(mesh->quadCount, 30u);
    // The cap of the first face, shrunk to 0.533 and lifted by 0.094.
    const float s = DecodeOperand(136), t = DecodeOperand(129);
    EXPECT_TRUE(Near(mesh->positions[8], -s, -s + t, -1, 1e-6f));
}

}  // namespace
}  // namespace quixo
