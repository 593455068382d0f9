#include "platform/memory_block.h"

#include <sys/mman.h>

#include <cerrno>
#include <cstring>

namespace quixo {

void* ReserveZeroedBlock(std::uint64_t bytes, std::string& error) {
    // Anonymous private mappings are zero-filled by the kernel and cost nothing until touched.
    void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (block == MAP_FAILED) {
        error = std::strerror(errno);
        return nullptr;
    }
    return block;
}

void ReleaseBlock(void* block, std::uint64_t bytes) {
    if (block != nullptr) munmap(block, bytes);
}

}  // namespace quixo
