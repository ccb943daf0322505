#include "engine/state_hash.h"

uint64_t fnv1a64(const void* bytes, size_t size, uint64_t hash) {
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    for (size_t i = 0; i < size; ++i) {
        hash ^= p[i];
        hash *= FNV64_PRIME;
    }
    return hash;
}
