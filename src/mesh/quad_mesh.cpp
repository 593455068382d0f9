#include "mesh/quad_mesh.h"

#include <cstring>

namespace quixo {

const Float3 kUnitCubePositions[8] = {
    {-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1},
    {-1, -1, 1},  {1, -1, 1},  {1, 1, 1},  {-1, 1, 1},
};
const std::uint8_t kUnitCubeQuads[6][4] = {
    {0, 1, 2, 3}, {3, 2, 6, 7}, {7, 6, 5, 4}, {1, 0, 4, 5}, {0, 3, 7, 4}, {2, 1, 5, 6},
};

std::int32_t lastToggledQuad = -1;

void ResetModellerState() {
    lastToggledQuad = -1;
}

namespace {
// Highest quad slot (exclusive) that addQ has written since the last ClearUsedQuadMesh, over
// every mesh: an upper bound for the scratch mesh, which is all that reads it.
std::uint32_t quadHighWater = 0;
}  // namespace

void maths1(Float3& out, const Float3& a, const Float3& b) {
    out = {a.x + b.x, a.y + b.y, a.z + b.z};
}

void maths3(Float3& out, const Float3& a, const Float3& b) {
    out = {a.x * b.x, a.y * b.y, a.z * b.z};
}

void maths4(Float3& out, const Float3& a, float s, const Float3& b) {
    out = {a.x * s + b.x, a.y * s + b.y, a.z * s + b.z};
}

void maths8(Float3& out, const Float3& a, const Float3& b, float s) {
    const float r = 1.0f - s;
    out = {r * a.x + s * b.x, r * a.y + s * b.y, r * a.z + s * b.z};
}

void maths9(Float3& a, float s) {
    a = {a.x * s, a.y * s, a.z * s};
}

void maths11(const Float3& a, const Float3& b, Float3& acc) {
    const Float3 c = {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    acc = {acc.x + c.x, acc.y + c.y, acc.z + c.z};
}

void mset(void* destination, int value, std::uint32_t byteCount) {
    std::memset(destination, value, byteCount);
}

void mcpy(void* destination, const void* source, std::uint32_t byteCount) {
    // Forward copy; memmove gives the same bytes for every overlap this is used with.
    std::memmove(destination, source, byteCount);
}

int vinq(std::uint32_t v, const std::uint32_t quad[4]) {
    return quad[0] == v || quad[1] == v || quad[2] == v || quad[3] == v;
}

void addQ(QuadMesh& mesh, std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
          std::uint32_t flag) {
    const std::uint32_t q = mesh.quadCount;
    mesh.quads[q][0] = a;
    mesh.quads[q][1] = b;
    mesh.quads[q][2] = c;
    mesh.quads[q][3] = d;
    mesh.selected[q] = flag;
    mesh.quadCount = q + 1;
    if (q + 1 > quadHighWater) quadHighWater = q + 1;
}

void delquad(QuadMesh& mesh, std::uint32_t first, std::uint32_t count) {
    const std::uint32_t tail = mesh.quadCount - first - count;
    mcpy(mesh.quads[first], mesh.quads[first + count], tail * sizeof mesh.quads[0]);
    mcpy(&mesh.selected[first], &mesh.selected[first + count], tail * sizeof mesh.selected[0]);
    mesh.quadCount -= count;
}

int adjquad(const QuadMesh& mesh, std::uint32_t i, std::uint32_t j) {
    int shared = 0;
    for (int a = 0; a < 4; ++a) {
        for (int b = 0; b < 4; ++b) shared += mesh.quads[i][a] == mesh.quads[j][b];
    }
    return shared;
}

void selrang(QuadMesh& mesh, std::int64_t a, std::int64_t b, std::uint32_t value) {
    for (std::int64_t i = a; i <= b; ++i) mesh.selected[i] = value;
}

void selinvr(QuadMesh& mesh) {
    for (std::uint32_t i = 0; i < mesh.quadCount; ++i) mesh.selected[i] = mesh.selected[i] ? 0 : 1;
}

namespace {

// Per vertex: 1 + the first odd-flagged quad using it, 0 for none. Kept all zero between
// expands.
std::uint32_t firstSourceOf[kMeshCapacity];

// The flag an unselected quad gets from the first source quad (in mesh order) sharing a corner
// with it: twice the number of corner pairs they share, 0 when no source touches it.
std::uint32_t ExpandedFlag(const QuadMesh& mesh, std::uint32_t j) {
    std::uint32_t first = 0;
    for (int c = 0; c < 4; ++c) {
        const std::uint32_t s = firstSourceOf[mesh.quads[j][c]];
        if (s != 0 && (first == 0 || s < first)) first = s;
    }
    return first == 0 ? 0 : 2 * static_cast<std::uint32_t>(adjquad(mesh, first - 1, j));
}

bool CornersInRange(const QuadMesh& mesh, std::uint32_t n) {
    for (std::uint32_t i = 0; i < n; ++i) {
        for (int c = 0; c < 4; ++c) {
            if (mesh.quads[i][c] >= kMeshCapacity) return false;
        }
    }
    return true;
}

}  // namespace

// Each source quad (odd flag), in mesh order, marks every still unmarked quad with twice the
// corners they share. Marks are even, so the sources are the quads odd at the start, and an
// unselected quad keeps the mark of the first source it shares a vertex with: one pass over the
// corners finds that source per vertex, instead of comparing every pair of quads.
void expands(QuadMesh& mesh, std::uint32_t value) {
    const std::uint32_t n = mesh.quadCount;
    if (CornersInRange(mesh, n)) {
        for (std::uint32_t i = n; i-- > 0;) {
            if ((mesh.selected[i] & 1) == 0) continue;
            for (int c = 0; c < 4; ++c) firstSourceOf[mesh.quads[i][c]] = i + 1;
        }
        for (std::uint32_t j = 0; j < n; ++j) {
            if (mesh.selected[j] == 0) mesh.selected[j] = ExpandedFlag(mesh, j);
        }
        for (std::uint32_t i = 0; i < n; ++i) {
            if ((mesh.selected[i] & 1) == 0) continue;
            for (int c = 0; c < 4; ++c) firstSourceOf[mesh.quads[i][c]] = 0;
        }
    } else {
        // A corner past the vertex table (only a corrupted mesh has one): the pairwise scan,
        // which reads no table by vertex.
        for (std::uint32_t i = 0; i < n; ++i) {
            if ((mesh.selected[i] & 1) == 0) continue;
            for (std::uint32_t j = 0; j < n; ++j) {
                if (mesh.selected[j] == 0) mesh.selected[j] = 2 * adjquad(mesh, i, j);
            }
        }
    }
    for (std::uint32_t i = 0; i < n; ++i) {
        const std::uint32_t flag = mesh.selected[i];
        mesh.selected[i] = flag == 1 ? value : flag >= 2 ? 1 : 0;
    }
}

std::uint32_t dupvert(const QuadMesh& mesh, const Float3& p, std::uint32_t start) {
    for (std::uint32_t i = start; i < mesh.vertexCount; ++i) {
        const Float3& q = mesh.positions[i];
        if (q.x == p.x && q.y == p.y && q.z == p.z) return i;
    }
    return mesh.vertexCount;
}

std::uint32_t addvert(QuadMesh& mesh, const Float3& p, std::uint32_t start) {
    const std::uint32_t i = dupvert(mesh, p, start);
    mesh.positions[i] = p;
    if (i == mesh.vertexCount) mesh.vertexCount += 1;
    return i;
}

int vselect(const QuadMesh& mesh, std::uint32_t v) {
    for (std::uint32_t q = 0; q < mesh.quadCount; ++q) {
        if (mesh.selected[q] != 0 && vinq(v, mesh.quads[q])) return 1;
    }
    return 0;
}

Float3 centroi(const QuadMesh& mesh, std::uint32_t q) {
    const std::uint32_t* c = mesh.quads[q];
    Float3 sum = mesh.positions[c[0]];
    maths1(sum, sum, mesh.positions[c[1]]);
    maths1(sum, sum, mesh.positions[c[2]]);
    maths1(sum, sum, mesh.positions[c[3]]);
    maths9(sum, 0.25f);
    return sum;
}

void setnorm(QuadMesh& mesh) {
    mset(mesh.vertexNormals, 0, mesh.vertexCount * sizeof(Float3));
    mset(mesh.quadNormals, 0, mesh.quadCount * sizeof(Float3));
    for (std::uint32_t q = 0; q < mesh.quadCount; ++q) {
        const std::uint32_t* c = mesh.quads[q];
        Float3& n = mesh.quadNormals[q];
        for (int j = 0; j < 4; ++j)
            maths11(mesh.positions[c[(j + 1) % 4]], mesh.positions[c[j]], n);
    }
    for (std::uint32_t q = 0; q < mesh.quadCount; ++q) {
        for (int j = 0; j < 4; ++j) {
            Float3& vn = mesh.vertexNormals[mesh.quads[q][j]];
            maths1(vn, vn, mesh.quadNormals[q]);
        }
    }
}

void ClearQuadMesh(QuadMesh& mesh) {
    mset(&mesh, 0, sizeof mesh);
}

void ClearUsedQuadMesh(QuadMesh& mesh) {
    const std::uint32_t v = mesh.vertexCount;
    const std::uint32_t q = quadHighWater > mesh.quadCount ? quadHighWater : mesh.quadCount;
    mset(mesh.quads, 0, q * sizeof mesh.quads[0]);
    mset(mesh.selected, 0, q * sizeof mesh.selected[0]);
    mset(mesh.quadNormals, 0, q * sizeof mesh.quadNormals[0]);
    mset(mesh.positions, 0, v * sizeof mesh.positions[0]);
    mset(mesh.vertexNormals, 0, v * sizeof mesh.vertexNormals[0]);
    mesh.vertexCount = 0;
    mesh.quadCount = 0;
    quadHighWater = 0;
}

QuadMesh& ScratchQuadMesh() {
    static QuadMesh mesh;  // zero-initialised static storage
    return mesh;
}

}  // namespace quixo
