#pragma once
// Access to data blobs embedded at build time (see cmake/embed.cmake).
#include <cstddef>
#include <cstdint>

namespace quixo {

struct Blob {
    const std::uint8_t* data;
    std::size_t size;
};

}  // namespace quixo

// Declares the two symbols of one embedded blob; use at namespace scope.
#define QUIXO_DECLARE_BLOB(sym)                               \
    extern "C" const std::uint8_t quixo_blob_##sym##_begin[]; \
    extern "C" const std::uint8_t quixo_blob_##sym##_end[]

// The blob as a pointer and a size.
#define QUIXO_BLOB(sym)                      \
    (::quixo::Blob{quixo_blob_##sym##_begin, \
                   static_cast<std::size_t>(quixo_blob_##sym##_end - quixo_blob_##sym##_begin)})
