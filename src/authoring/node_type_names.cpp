#include "authoring/node_type_names.h"

#include "graph/graph_types.h"

namespace quixo {

namespace {

// Index = type number; entry 0 is the empty slot, which a source never writes.
constexpr const char* kNames[kMaxNodeType + 1] = {
    nullptr,
    "copy",                // 1
    "add",                 // 2
    "subtract",            // 3
    "divide",              // 4
    "multiply",            // 5
    "max_min",             // 6
    "difference",          // 7
    "rotate_fixed",        // 8
    "rotate_each",         // 9
    "offset_xyz",          // 10
    "offset_xyzw",         // 11
    "scale",               // 12
    "clamp",               // 13
    "sine",                // 14
    "cosine",              // 15
    "circle",              // 16
    "arctangent",          // 17
    "set_length",          // 18
    "tangent",             // 19
    "exponential",         // 20
    "falloff",             // 21
    "ramp",                // 22
    "modulo",              // 23
    "length",              // 24
    "distance",            // 25
    "repeat",              // 26
    "smoothstep",          // 27
    "constant",            // 28
    "compose",             // 29
    "swizzle3",            // 30
    "swizzle4",            // 31
    "step",                // 32
    "blend",               // 33
    "scene_clock",         // 34
    "scene_clock_offset",  // 35
    "lattice",             // 36
    "shift",               // 37
    "range_map",           // 38
    "random",              // 39
    "track_sampler",       // 40
    "spectrum",            // 41
    "spectrum_scaled",     // 42
    "light_direction",     // 43
    "debug_polyline",      // 44
    "object3",             // 45
    "object6",             // 46
    "object7",             // 47
    "object8",             // 48
    "point_collector",     // 49
    "sprite",              // 50
    "clear_color",         // 51
    "camera",              // 52
    "camera_lens",         // 53
    "subgraph_call",       // 54
    "subgraph_argument",   // 55
    "depth_of_field",      // 56
    "transition",          // 57
    "motion_blur",         // 58
    "bloom",               // 59
};

}  // namespace

const char* NodeTypeName(std::uint32_t type) {
    return type <= kMaxNodeType ? kNames[type] : nullptr;
}

std::uint32_t FindNodeType(std::string_view name) {
    for (std::uint32_t t = 1; t <= kMaxNodeType; ++t) {
        if (name == kNames[t]) return t;
    }
    return 0;
}

}  // namespace quixo
