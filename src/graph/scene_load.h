#pragma once
// Copying stored scene graphs into the working graph slots.
#include "graph/graph_types.h"

namespace quixo {

// Copies 256 stored records into graph slot `slot` (AllocateGraphSlots first): type, links and
// parameters unchanged, and for every node with count k two zeroed blocks of k elements from
// the memory arena, of which the second becomes its elements (a count of 0 takes none). The
// evaluated flags stay cleared.
void LoadStoredScene(int slot, const StoredNode* records);

// k whole stored scenes, back to back, into slots 0..k-1 in order.
void LoadStoredScenes(const StoredNode* scenes, int k);

// The ten embedded scenes into slots 0..9, each found through its scene-table entry.
void LoadSceneGraphs();

}  // namespace quixo
