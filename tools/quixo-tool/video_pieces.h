#pragma once
// The film in pieces: its film frames cut into pieces of --piece-frames, each rendered picture
// only by one GNU parallel job (this tool's hidden `video --piece K`) on this machine or the
// hosts of an sshlogin file, then joined without re-encoding and given the soundtrack, encoded
// once over the whole film. The pieces wait in a work folder named after everything that
// shapes them, so a run started again with the same arguments renders only the missing ones.
#include "video_film.h"

namespace quixo::tool {

// Renders and joins; prints the film's JSON object and returns 0, or ends the command: exit 1
// for a host with another build (named) or a piece that failed every try (its frames and log).
int RenderFilmInPieces(const VideoOptions& o, FrameSize size);

}  // namespace quixo::tool
