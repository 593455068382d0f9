#pragma once
// Triangulation of the flat caps of the 3D text (used by text_mesh.cpp).
#include <cstdint>
#include <vector>

#include "mesh/text_mesh.h"

namespace quixo {

// Fills `points` with the points of all contours, one contour after the other, and
// `triangles` with index triples into `points` that cover the area inside the contours
// (nonzero winding: holes stay open, overlapping contours fill once). Where contours cross, the
// crossing points are appended to `points`. Every triangle winds counter-clockwise seen from
// +z. Returns false when the contours cannot be triangulated (both lists are then empty).
bool TriangulateCaps(const std::vector<Polyline>& contours, std::vector<OutlinePoint>& points,
                     std::vector<std::uint32_t>& triangles);

}  // namespace quixo
