#pragma once
// The streams of a one-operation program (addcube), built in their own file: the modeller's
// headers and the renderer's math header each declare a Float3.
#include "mesh/mesh_vertex.h"

namespace quixo::gfx::test {

MeshStreams CubeProgramStreams();

}  // namespace quixo::gfx::test
