#include "platform/memory_block.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/wide_text.h"
#else
#include <sys/mman.h>

#include <cerrno>
#include <cstring>
#endif

namespace quixo {

void* ReserveZeroedBlock(std::uint64_t bytes, std::string& error) {
#ifdef _WIN32
    // Committed pages are zero-filled and backed only once written.
    void* block =
        VirtualAlloc(nullptr, static_cast<SIZE_T>(bytes), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (block == nullptr) error = SystemErrorText(GetLastError());
    return block;
#else
    // Anonymous private mappings are zero-filled by the kernel and cost nothing until touched.
    void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (block == MAP_FAILED) {
        error = std::strerror(errno);
        return nullptr;
    }
    return block;
#endif
}

void ReleaseBlock(void* block, std::uint64_t bytes) {
    if (block == nullptr) return;
#ifdef _WIN32
    (void)bytes;
    VirtualFree(block, 0, MEM_RELEASE);
#else
    munmap(block, bytes);
#endif
}

}  // namespace quixo
