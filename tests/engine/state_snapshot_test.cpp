// A snapshot over a table of a test's own: the scope puts back every span of
// its tables, and a snapshot never lands on a list of tables it was not
// taken from.
#include "engine/state_snapshot.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

struct Probe {
    int32_t counter;
    float position[3];
};
Probe gProbe;
int32_t gProbeFlags[4];
int32_t gOtherWord;

const StateRow PROBE_ROWS[] = {
    stateRow<gProbe, gProbeFlags>("probe", nullptr, nullptr),
    resetRow("probe resource", [] {}),
};
const StateTable PROBE_TABLE = {"probe", PROBE_ROWS, 2};
const StateRow OTHER_ROWS[] = {stateRow<gOtherWord>("other", nullptr, nullptr)};
const StateTable OTHER_TABLE = {"other", OTHER_ROWS, 1};

}  // namespace

TEST(StateSnapshot, AScopePutsBackEveryWordOfItsTablesAndNoOthers) {
    gProbe = Probe{7, {1.0f, 2.0f, 3.0f}};
    gProbeFlags[3] = 9;
    gOtherWord = 1;
    {
        StateScope scope{&PROBE_TABLE};
        gProbe.counter = 100;
        gProbe.position[2] = -5.0f;
        gProbeFlags[3] = 0;
        gOtherWord = 2;
    }
    EXPECT_EQ(gProbe.counter, 7);
    EXPECT_EQ(gProbe.position[2], 3.0f);
    EXPECT_EQ(gProbeFlags[3], 9);
    EXPECT_EQ(gOtherWord, 2) << "a table outside the scope keeps what the test left";
}

TEST(StateSnapshot, ASnapshotOfOtherTablesPutsNothingBack) {
    const StateTable* const probe[] = {&PROBE_TABLE};
    const StateTable* const both[] = {&PROBE_TABLE, &OTHER_TABLE};
    gProbe.counter = 1;
    StateSnapshot snapshot;
    takeStateSnapshot(snapshot, probe, 1);
    gProbe.counter = 2;
    restoreStateSnapshot(snapshot, both, 2);
    EXPECT_EQ(gProbe.counter, 2);
    restoreStateSnapshot(StateSnapshot{}, probe, 1);
    EXPECT_EQ(gProbe.counter, 2) << "a snapshot never taken";
    restoreStateSnapshot(snapshot, probe, 1);
    EXPECT_EQ(gProbe.counter, 1);
}
