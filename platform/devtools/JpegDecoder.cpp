#include "platform/devtools/JpegDecoder.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

namespace devtools {

namespace {

// The decoder's large blocks, kept for the next frame. A frame's blocks are
// the same sizes as the last frame's, and a large block from the system
// heap is mapped and unmapped at each use, which under Wine costs several
// times the decoding itself.
class BlockPool {
public:
    static BlockPool& Instance()
    {
        static BlockPool* pool = new BlockPool;  // never destroyed: frees may come at exit
        return *pool;
    }

    void* Allocate(size_t size)
    {
        if (size >= kLargeBlock) {
            std::lock_guard<std::mutex> lock(mutex_);
            for (auto it = free_.begin(); it != free_.end(); ++it) {
                // A block too large would hold memory that is not used.
                if (it->first >= size && it->first <= size + size / 4) {
                    Header* h = it->second;
                    free_.erase(it);
                    return h + 1;
                }
            }
        }
        auto* h = static_cast<Header*>(std::malloc(sizeof(Header) + size));
        if (!h)
            return nullptr;
        h->size = size;
        return h + 1;
    }

    void Free(void* p)
    {
        if (!p)
            return;
        Header* h = static_cast<Header*>(p) - 1;
        if (h->size >= kLargeBlock) {
            std::lock_guard<std::mutex> lock(mutex_);
            free_.emplace_back(h->size, h);
            if (free_.size() <= kKept)
                return;
            h = free_.front().second;  // the oldest goes
            free_.erase(free_.begin());
        }
        std::free(h);
    }

    void* Reallocate(void* p, size_t size)
    {
        if (!p)
            return Allocate(size);
        const size_t old = (static_cast<Header*>(p) - 1)->size;
        if (old >= size)
            return p;
        void* bigger = Allocate(size);
        if (!bigger)
            return nullptr;
        std::memcpy(bigger, p, old);
        Free(p);
        return bigger;
    }

private:
    struct alignas(16) Header {
        size_t size;
    };
    static constexpr size_t kLargeBlock = 64 * 1024;
    static constexpr size_t kKept = 8;  // a frame uses five or fewer

    std::mutex mutex_;
    std::vector<std::pair<size_t, Header*>> free_;
};

void* PoolAllocate(size_t size) { return BlockPool::Instance().Allocate(size); }
void PoolFree(void* p) { BlockPool::Instance().Free(p); }
// Required beside the others; the JPEG decoder itself never grows a block.
[[maybe_unused]] void* PoolReallocate(void* p, size_t size) { return BlockPool::Instance().Reallocate(p, size); }

}  // namespace

}  // namespace devtools

#define STBI_MALLOC(size) devtools::PoolAllocate(size)
#define STBI_FREE(p) devtools::PoolFree(p)
#define STBI_REALLOC(p, size) devtools::PoolReallocate(p, size)
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS 16384
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace devtools {

uint8_t* DecodeJpegRgba(const uint8_t* data, size_t size, int* width, int* height)
{
    if (!data || size == 0 || size > static_cast<size_t>(INT_MAX))
        return nullptr;
    int channels = 0;
    return stbi_load_from_memory(data, static_cast<int>(size), width, height, &channels, 4);
}

void FreeJpegRgba(uint8_t* pixels) { stbi_image_free(pixels); }

}  // namespace devtools
