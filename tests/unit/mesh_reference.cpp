#include "mesh_reference.h"

#include <cmath>

namespace quixo::reference {

namespace {

Vec Add(Vec a, Vec b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec Mul(Vec a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}

std::uint32_t* Quad(Mesh& m, std::uint32_t q) {
    return &m.quads[4 * q];
}

bool VertexSelected(Mesh& m, std::uint32_t v) {
    for (std::uint32_t q = 0; q < m.quadCount; ++q) {
        const std::uint32_t* c = Quad(m, q);
        if (m.selected[q] && (c[0] == v || c[1] == v || c[2] == v || c[3] == v)) return true;
    }
    return false;
}

void Append(Mesh& m, std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
            std::uint32_t flag) {
    std::uint32_t* q = Quad(m, m.quadCount);
    q[0] = a, q[1] = b, q[2] = c, q[3] = d;
    m.selected[m.quadCount++] = flag;
}

// Closes the gap left by quad i, moving every later quad and flag down by one.
void RemoveOne(Mesh& m, std::uint32_t i) {
    for (std::uint32_t k = i; k + 1 < m.quadCount; ++k) {
        for (int j = 0; j < 4; ++j) m.quads[4 * k + j] = m.quads[4 * (k + 1) + j];
        m.selected[k] = m.selected[k + 1];
    }
    m.quadCount -= 1;
}

Vec Centre(Mesh& m, std::uint32_t q) {
    const std::uint32_t* c = Quad(m, q);
    Vec s = m.positions[c[0]];
    s = Add(s, m.positions[c[1]]);
    s = Add(s, m.positions[c[2]]);
    s = Add(s, m.positions[c[3]]);
    return Mul(s, 0.25f);
}

std::uint32_t AddVertex(Mesh& m, Vec p, std::uint32_t start) {
    std::uint32_t i = start;
    while (i < m.vertexCount &&
           !(m.positions[i].x == p.x && m.positions[i].y == p.y && m.positions[i].z == p.z)) {
        ++i;
    }
    m.positions[i] = p;
    if (i == m.vertexCount) ++m.vertexCount;
    return i;
}

void Normals(Mesh& m) {
    for (std::uint32_t v = 0; v < m.vertexCount; ++v) m.vertexNormals[v] = {0, 0, 0};
    for (std::uint32_t q = 0; q < m.quadCount; ++q) {
        Vec n = {0, 0, 0};
        for (int j = 0; j < 4; ++j) {
            const Vec a = m.positions[Quad(m, q)[(j + 1) % 4]];
            const Vec b = m.positions[Quad(m, q)[j]];
            n = Add(n, {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x});
        }
        m.quadNormals[q] = n;
    }
    for (std::uint32_t q = 0; q < m.quadCount; ++q) {
        for (int j = 0; j < 4; ++j) {
            Vec& vn = m.vertexNormals[Quad(m, q)[j]];
            vn = Add(vn, m.quadNormals[q]);
        }
    }
}

void Smooth(Mesh& m, bool smoothing) {
    const std::uint32_t v0 = m.vertexCount, q0 = m.quadCount;
    std::vector<Vec> sum(m.positions.size(), Vec{0, 0, 0});
    std::vector<std::uint32_t> valence(m.positions.size(), 0);
    for (std::uint32_t i = 0; i < q0; ++i) {
        const std::uint32_t w[4] = {Quad(m, i)[0], Quad(m, i)[1], Quad(m, i)[2], Quad(m, i)[3]};
        const Vec c = Centre(m, i);
        const std::uint32_t ci = AddVertex(m, c, m.vertexCount);
        valence[ci] += 1;
        std::uint32_t e[4];
        for (int j = 0; j < 4; ++j) {
            Vec edge = Add(m.positions[w[j]], m.positions[w[(j + 1) % 4]]);
            if (!smoothing) edge = Mul(edge, 0.5f);
            e[j] = AddVertex(m, edge, v0);
            if (valence[e[j]] == 0) valence[e[j]] = 2;
            sum[e[j]] = Add(sum[e[j]], c);
            valence[w[j]] += 1;
            sum[w[j]] = Add(Add(sum[w[j]], c), edge);
            valence[e[j]] += 1;
        }
        for (int j = 0; j < 4; ++j) Append(m, w[j], e[j], ci, e[(j + 3) % 4], m.selected[i]);
    }
    if (smoothing) {
        for (std::uint32_t u = 0; u < m.vertexCount; ++u) {
            const float inv = 1.0f / static_cast<float>(valence[u]);
            Vec& p = m.positions[u];
            if (u < v0) {
                const float w = static_cast<float>(static_cast<std::int64_t>(valence[u]) - 3);
                p = Mul(Add(Mul(p, w), Mul(sum[u], inv)), inv);
            } else {
                p = Mul(Add(sum[u], p), inv);
            }
        }
    }
    for (std::uint32_t k = 0; k < q0; ++k) RemoveOne(m, 0);
}

void Extrude(Mesh& m) {
    std::uint32_t q0 = m.quadCount;
    for (std::uint32_t i = 0; i < q0;) {
        if (!m.selected[i]) {
            ++i;
            continue;
        }
        const std::uint32_t w[4] = {Quad(m, i)[0], Quad(m, i)[1], Quad(m, i)[2], Quad(m, i)[3]};
        std::uint32_t k[4];
        for (int j = 0; j < 4; ++j) k[j] = AddVertex(m, m.positions[w[j]], m.vertexCount);
        Append(m, k[0], k[1], k[2], k[3], 1);
        for (int j = 0; j < 4; ++j) Append(m, k[j], w[j], w[(j + 1) % 4], k[(j + 1) % 4], 0);
        RemoveOne(m, i);
        --q0;
    }
}

void Expand(Mesh& m, std::uint32_t value) {
    for (std::uint32_t i = 0; i < m.quadCount; ++i) {
        if (!(m.selected[i] & 1)) continue;
        for (std::uint32_t j = 0; j < m.quadCount; ++j) {
            if (m.selected[j] != 0) continue;
            std::uint32_t shared = 0;
            for (int a = 0; a < 4; ++a) {
                for (int b = 0; b < 4; ++b) shared += Quad(m, i)[a] == Quad(m, j)[b];
            }
            m.selected[j] = 2 * shared;
        }
    }
    for (std::uint32_t i = 0; i < m.quadCount; ++i) {
        m.selected[i] = m.selected[i] == 1 ? value : m.selected[i] >= 2 ? 1 : 0;
    }
}

float Coord(Vec p, int axis) {
    return axis == 0 ? p.x : axis == 1 ? p.y : p.z;
}

void Slab(Mesh& m, int axis, std::int32_t ref) {
    if (ref == -1) return;
    float lo = 1000000.0f, hi = -1000000.0f;
    for (int j = 0; j < 4; ++j) {
        const float t = Coord(m.positions[Quad(m, ref)[j]], axis);
        if (t <= lo) lo = t;
        if (t >= hi) hi = t;
    }
    for (std::uint32_t i = 0; i < m.quadCount; ++i) {
        const float c = Coord(Centre(m, i), axis);
        if (lo <= c && c <= hi) m.selected[i] = 1;
    }
}

// Moves or scales every vertex (all) or the vertices of selected quads.
template <typename F>
void EachVertex(Mesh& m, bool all, F f) {
    for (std::uint32_t v = 0; v < m.vertexCount; ++v) {
        if (all || VertexSelected(m, v)) f(m.positions[v]);
    }
}

void Rotate(Mesh& m, float a, int axis) {
    const float angle = (a * 22.5f) * 0.017453279346227646f;
    const float co = static_cast<float>(std::cos(static_cast<double>(angle)));
    const float si = static_cast<float>(std::sin(static_cast<double>(angle)));
    EachVertex(m, false, [&](Vec& p) {
        const Vec o = p;
        if (axis == 0) p = {o.x, co * o.y - si * o.z, si * o.y + co * o.z};
        if (axis == 1) p = {co * o.x + si * o.z, o.y, co * o.z - si * o.x};
        if (axis == 2) p = {co * o.x - si * o.y, si * o.x + co * o.y, o.z};
    });
}

void Operation(Mesh& m, int code, float a, std::int32_t& last) {
    const Vec scales[4] = {{a, 1, 1}, {1, a, 1}, {1, 1, a}, {a, a, a}};
    const Vec moves[3] = {{a, 0, 0}, {0, a, 0}, {0, 0, a}};
    if (code <= 7) {
        const Vec f = scales[code % 4];
        EachVertex(m, code < 4, [&](Vec& p) { p = {p.x * f.x, p.y * f.y, p.z * f.z}; });
    } else if (code == 8) {
        for (std::uint32_t q = 0; q < m.quadCount; ++q) {
            if (!m.selected[q]) continue;
            const Vec c = Centre(m, q);
            for (int j = 0; j < 4; ++j) {
                Vec& p = m.positions[Quad(m, q)[j]];
                p = Add(Mul(c, 1.0f - a), Mul(p, a));
            }
        }
    } else if (code >= 9 && code <= 14) {
        const Vec d = moves[(code - 9) % 3];
        EachVertex(m, code < 12, [&](Vec& p) { p = Add(p, d); });
    } else if (code == 15) {
        for (std::uint32_t q = 0; q < m.quadCount; ++q) {
            if (!m.selected[q]) continue;
            for (int j = 0; j < 4; ++j) {
                Vec& p = m.positions[Quad(m, q)[j]];
                p = Add(Mul(m.quadNormals[q], a), p);
            }
        }
    } else if (code <= 18) {
        Rotate(m, a, code - 16);
    } else if (code == 19 || code == 20) {
        for (std::uint32_t q = 0; q < m.quadCount; ++q) m.selected[q] = code == 19;
        if (code == 20) last = -1;
    } else if (code == 21) {
        for (std::uint32_t q = 0; q < m.quadCount; ++q) m.selected[q] = m.selected[q] == 0;
        last = -1;
    } else if (code == 22 || code == 23) {
        Expand(m, code == 22);
    } else if (code <= 26) {
        Slab(m, code - 24, last);
    } else if (code <= 28) {
        Smooth(m, code == 28);
    } else if (code == 29) {
        Extrude(m);
    } else if (code == 30) {
        for (std::uint32_t i = 0; i < m.quadCount;) {
            if (m.selected[i]) {
                RemoveOne(m, i);
            } else {
                ++i;
            }
        }
    } else {
        const std::uint32_t v = m.vertexCount;
        const float c[8][3] = {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1},
                               {-1, -1, 1},  {1, -1, 1},  {1, 1, 1},  {-1, 1, 1}};
        for (int i = 0; i < 8; ++i) m.positions[v + i] = {c[i][0], c[i][1], c[i][2]};
        m.vertexCount += 8;
        const int f[6][4] = {{0, 1, 2, 3}, {3, 2, 6, 7}, {7, 6, 5, 4},
                             {1, 0, 4, 5}, {0, 3, 7, 4}, {2, 1, 5, 6}};
        for (const auto& q : f) Append(m, v + q[0], v + q[1], v + q[2], v + q[3], 1);
    }
}

}  // namespace

Mesh::Mesh(std::uint32_t capacity)
    : quads(4 * capacity, 0),
      positions(capacity, Vec{0, 0, 0}),
      vertexNormals(capacity, Vec{0, 0, 0}),
      quadNormals(capacity, Vec{0, 0, 0}),
      selected(capacity, 0) {}

void Run(const MeshProgram& program, Mesh& m, std::int32_t& last) {
    int stream = 0;
    for (int k = 0; k < program.opCount; ++k) {
        const int code = program.opcodes[k];
        if (code == 50) {
            const std::int32_t q = program.quadStream[stream++];
            m.selected[q] = m.selected[q] == 0;
            last = m.selected[q] ? q : -1;
        } else if (code < 32) {
            const double amount = program.operands[k] * static_cast<double>(16.0f / 255.0f) - 8.0;
            Operation(m, code, static_cast<float>(amount), last);
            if (code < 19 || code > 26) Normals(m);
        }
    }
}

}  // namespace quixo::reference
