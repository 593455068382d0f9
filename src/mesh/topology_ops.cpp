// Topology operations: add the unit cube, extrude, delete, and split every quad into four.
#include "mesh/mesh_ops.h"
#include "mesh/position_index.h"

namespace quixo {

namespace {

// Subdivision accumulators, indexed by vertex.
Float3 smoothSum[kMeshCapacity];
std::uint32_t smoothValence[kMeshCapacity];

// Corners of the quads being extruded, in mesh order.
std::uint32_t extrudeCorners[kMeshCapacity][4];

// addvert for a vertex of a subdivision step, through the step's index: a shared one (an edge
// point) takes the first vertex made in the step at an equal position, any other is new. Either
// way its position is written, as addvert writes it.
std::uint32_t AddStepVertex(QuadMesh& mesh, PositionIndex& made, const Float3& p, bool shared) {
    PositionKey key;
    const bool keyed = MakePositionKey(p, key);
    if (shared && keyed) {
        const auto found = made.find(key);
        if (found != made.end()) {
            mesh.positions[found->second] = p;
            return found->second;
        }
    }
    const std::uint32_t i = mesh.vertexCount;
    mesh.positions[i] = p;
    mesh.vertexCount += 1;
    if (keyed) made.emplace(key, i);  // the first at a position stays
    return i;
}

}  // namespace

void smooth(QuadMesh& mesh, bool smoothing) {
    const std::uint32_t v0 = mesh.vertexCount;
    const std::uint32_t q0 = mesh.quadCount;
    // A step creates at most one face point and four edge points per quad, so no index at or
    // past this bound is touched; clearing the whole arrays would cost more than the step.
    const std::uint64_t bound = std::uint64_t{v0} + 5ull * q0;
    const std::uint32_t touched =
        bound < kMeshCapacity ? static_cast<std::uint32_t>(bound) : kMeshCapacity;
    mset(smoothSum, 0, touched * sizeof smoothSum[0]);
    mset(smoothValence, 0, touched * sizeof smoothValence[0]);
    // The vertices made in this step by position: an edge point takes the vertex the scan of
    // addvert from v0 would find (the first made with an equal position), without the scan,
    // which made a step's cost grow with the square of its size.
    PositionIndex made;
    made.reserve(touched - v0);

    for (std::uint32_t i = 0; i < q0; ++i) {
        const std::uint32_t w[4] = {mesh.quads[i][0], mesh.quads[i][1], mesh.quads[i][2],
                                    mesh.quads[i][3]};
        const Float3 c = centroi(mesh, i);
        const std::uint32_t ci = AddStepVertex(mesh, made, c, false);
        smoothValence[ci] += 1;
        std::uint32_t e[4];
        for (int j = 0; j < 4; ++j) {
            Float3 edge;
            maths1(edge, mesh.positions[w[j]], mesh.positions[w[(j + 1) % 4]]);
            if (!smoothing) maths9(edge, 0.5f);
            e[j] = AddStepVertex(mesh, made, edge, true);
            if (smoothValence[e[j]] == 0) smoothValence[e[j]] = 2;
            maths1(smoothSum[e[j]], smoothSum[e[j]], c);
            smoothValence[w[j]] += 1;
            maths1(smoothSum[w[j]], smoothSum[w[j]], c);
            maths1(smoothSum[w[j]], smoothSum[w[j]], edge);
            smoothValence[e[j]] += 1;
        }
        const std::uint32_t flag = mesh.selected[i];
        for (int j = 0; j < 4; ++j) addQ(mesh, w[j], e[j], ci, e[(j + 3) % 4], flag);
    }

    if (smoothing) {
        for (std::uint32_t u = 0; u < mesh.vertexCount; ++u) {
            const std::uint32_t n = smoothValence[u];
            const float inv = 1.0f / static_cast<float>(n);
            Float3& p = mesh.positions[u];
            if (u < v0) {
                // Signed: an old vertex on an open border can have fewer than three quads.
                const float weight = static_cast<float>(static_cast<std::int32_t>(n) - 3);
                Float3 t = p;
                maths9(t, weight);
                maths4(t, smoothSum[u], inv, t);
                maths9(t, inv);
                p = t;
            } else {
                maths1(p, smoothSum[u], p);
                maths9(p, inv);
            }
        }
    }
    delquad(mesh, 0, q0);
}

void subd(QuadMesh& mesh, float) {
    smooth(mesh, false);
}

void smoooth(QuadMesh& mesh, float) {
    smooth(mesh, true);
}

// Every selected quad is replaced by a selected cap on four new vertices at its corners and
// four unselected walls of zero height. Built in two passes (keep the unselected quads in
// order, then append cap and walls per extruded quad in order); the result, vertex order and
// all, is the one of removing each extruded quad in place as it is met.
void addquad(QuadMesh& mesh, float) {
    std::uint32_t kept = 0;
    std::uint32_t extruded = 0;
    for (std::uint32_t i = 0; i < mesh.quadCount; ++i) {
        if (mesh.selected[i] == 0) {
            mcpy(mesh.quads[kept], mesh.quads[i], sizeof mesh.quads[0]);
            mesh.selected[kept] = 0;
            ++kept;
        } else {
            mcpy(extrudeCorners[extruded], mesh.quads[i], sizeof mesh.quads[0]);
            ++extruded;
        }
    }
    mesh.quadCount = kept;
    for (std::uint32_t s = 0; s < extruded; ++s) {
        const std::uint32_t* w = extrudeCorners[s];
        std::uint32_t k[4];
        for (int j = 0; j < 4; ++j) {
            k[j] = addvert(mesh, mesh.positions[w[j]], mesh.vertexCount);
        }
        addQ(mesh, k[0], k[1], k[2], k[3], 1);
        for (int j = 0; j < 4; ++j) addQ(mesh, k[j], w[j], w[(j + 1) % 4], k[(j + 1) % 4], 0);
    }
    // Removing in place leaves the last wall once more in the slot past the end; a range
    // selection whose reference quad no longer exists reads that slot.
    if (extruded > 0 && mesh.quadCount < kMeshCapacity) {
        const std::uint32_t* last = mesh.quads[mesh.quadCount - 1];
        addQ(mesh, last[0], last[1], last[2], last[3], 0);
        mesh.quadCount -= 1;
    }
}

// Deletes the selected quads, keeping the order of the rest (one pass instead of closing the
// gap after each removal: the same quads and flags end up in the same places).
void delQuad(QuadMesh& mesh, float) {
    const std::uint32_t q0 = mesh.quadCount;
    if (q0 == 0) return;
    std::uint32_t lastQuad[4];
    mcpy(lastQuad, mesh.quads[q0 - 1], sizeof lastQuad);
    const std::uint32_t lastFlag = mesh.selected[q0 - 1];
    std::uint32_t kept = 0;
    for (std::uint32_t i = 0; i < mesh.quadCount; ++i) {
        if (mesh.selected[i] != 0) continue;
        if (kept != i) {
            mcpy(mesh.quads[kept], mesh.quads[i], sizeof mesh.quads[0]);
            mesh.selected[kept] = mesh.selected[i];
        }
        ++kept;
    }
    mesh.quadCount = kept;
    // Closing each gap in place leaves the last quad in every freed slot; a range selection
    // whose reference quad was deleted reads it there.
    for (std::uint32_t i = kept; i < q0; ++i) {
        mcpy(mesh.quads[i], lastQuad, sizeof lastQuad);
        mesh.selected[i] = lastFlag;
    }
}

void addcube(QuadMesh& mesh, float) {
    const std::uint32_t v = mesh.vertexCount;
    for (int i = 0; i < 8; ++i) mesh.positions[v + i] = kUnitCubePositions[i];
    mesh.vertexCount = v + 8;
    for (const auto& q : kUnitCubeQuads) addQ(mesh, v + q[0], v + q[1], v + q[2], v + q[3], 1);
}

}  // namespace quixo
