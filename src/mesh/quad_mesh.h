#pragma once
// The modeller's one quad mesh: vertex positions, quads of four vertex indices and one
// selection flag per quad, in fixed-capacity parallel arrays, plus the helpers that every mesh
// operation shares. All arithmetic is single precision in the order written here: the
// subdivision shares an edge point only when two quads compute bit-identical sums.
#include <cstdint>

#include "core/float3.h"

namespace quixo {

constexpr std::uint32_t kMeshCapacity = 250000;  // vertices and quads alike

struct QuadMesh {
    std::uint32_t vertexCount;
    std::uint32_t quadCount;
    std::uint32_t quads[kMeshCapacity][4];  // corner indices in winding order
    Float3 positions[kMeshCapacity];
    Float3 vertexNormals[kMeshCapacity];    // sum of the normals of the quads using the vertex
    Float3 quadNormals[kMeshCapacity];      // unnormalised: twice the area for a flat quad
    std::uint32_t selected[kMeshCapacity];  // 0 or 1; 2 and above only inside expands
};
static_assert(sizeof(QuadMesh) == 14000008);

// The unit cube every program starts from: eight corners at +-1 and six outward-facing quads.
extern const Float3 kUnitCubePositions[8];
extern const std::uint8_t kUnitCubeQuads[6][4];

// The quad most recently switched on by a toggle, -1 when none. Shared by all builds: it is
// not reset between programs.
extern std::int32_t lastToggledQuad;

// The modeller's state as at start-up (no toggled quad), before a run of programs in record
// order such as start-up's own: every tool, test and benchmark that runs the stored programs
// starts from here, so each sees what the demo builds.
void ResetModellerState();

// Vector helpers; the output may be an input.
void maths1(Float3& out, const Float3& a, const Float3& b);           // a + b
void maths3(Float3& out, const Float3& a, const Float3& b);           // a * b per component
void maths4(Float3& out, const Float3& a, float s, const Float3& b);  // a * s + b
void maths8(Float3& out, const Float3& a, const Float3& b, float s);  // (1 - s) a + s b
void maths9(Float3& a, float s);                                      // a *= s
void maths11(const Float3& a, const Float3& b, Float3& acc);          // acc += a x b

// Memory helpers. mcpy copies from the first byte to the last, so it may move a block down
// onto itself.
void mset(void* destination, int value, std::uint32_t byteCount);
void mcpy(void* destination, const void* source, std::uint32_t byteCount);

// Mesh helpers.
int vinq(std::uint32_t v, const std::uint32_t quad[4]);
void addQ(QuadMesh& mesh, std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
          std::uint32_t flag);
void delquad(QuadMesh& mesh, std::uint32_t first, std::uint32_t count);
int adjquad(const QuadMesh& mesh, std::uint32_t i, std::uint32_t j);
// Quads a to b inclusive get value. The bounds are signed so that "every quad" of a mesh
// without quads (b = -1) selects nothing instead of wrapping to four billion quads.
void selrang(QuadMesh& mesh, std::int64_t a, std::int64_t b, std::uint32_t value);
void selinvr(QuadMesh& mesh);
void expands(QuadMesh& mesh, std::uint32_t value);
std::uint32_t dupvert(const QuadMesh& mesh, const Float3& p, std::uint32_t start);
std::uint32_t addvert(QuadMesh& mesh, const Float3& p, std::uint32_t start);
int vselect(const QuadMesh& mesh, std::uint32_t v);
Float3 centroi(const QuadMesh& mesh, std::uint32_t q);
void setnorm(QuadMesh& mesh);

// Zeroes the whole block (every array), as each program expects to find it.
void ClearQuadMesh(QuadMesh& mesh);

// Zeroes what the previous program can have written: the first vertexCount vertex entries and
// every quad slot up to the highest one addQ has filled since the last clear. Equivalent to
// ClearQuadMesh for a mesh only ever grown through addQ, at a fraction of the cost.
void ClearUsedQuadMesh(QuadMesh& mesh);

// The one scratch mesh of the generator (static storage).
QuadMesh& ScratchQuadMesh();

}  // namespace quixo
