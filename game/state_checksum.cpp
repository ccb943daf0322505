#include "game/state_checksum.h"

#include <bit>
#include <vector>

#include "adventurers/adventurers_state.h"
#include "engine/settings.h"
#include "game/headless_run.h"
#include "game/state_registry.h"

static uint64_t hashState(ChecksumScope scope, StateSection* sections, int32_t sectionMax, int32_t* sectionCount) {
    StateHash h;
    h.sections = sections;
    h.sectionMax = sections ? sectionMax : 0;
    forEachStateRow([&](const StateTable&, const StateRow& row) {
        if (!row.hash) return;
        h.tag(row.name);
        row.hash(h, scope);
    });
    if (sectionCount) *sectionCount = h.sectionCount;
    return h.hash;
}

uint64_t headlessStateChecksum(ChecksumScope scope) { return hashState(scope, nullptr, 0, nullptr); }

int32_t headlessStateSections(ChecksumScope scope, StateSection* sections, int32_t max) {
    int32_t count = 0;
    hashState(scope, sections, max, &count);
    return count;
}

bool headlessFrameChecksum(uint64_t& checksum) {
    static std::vector<uint32_t> pixels;
    int32_t width = gScreenSize.width, height = gScreenSize.height;
    if (width <= 0 || height <= 0) return false;
    pixels.resize((size_t)width * (size_t)height);
    if (!headlessReadFrame(pixels.data(), width, height)) return false;
    static_assert(std::endian::native == std::endian::little);
    checksum = fnv1a64(pixels.data(), pixels.size() * sizeof(uint32_t));
    return true;
}
