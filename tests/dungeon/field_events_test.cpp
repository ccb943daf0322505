// Event requests from the field: one event at a time, the request's numbers
// and loader mode, and the queued request that waits for the running one.
#include "dungeon/field_events.h"

#include <gtest/gtest.h>

#include "adventurers/adventurers_state.h"
#include "dungeon/field_frame.h"
#include "dungeon/floor_objects.h"
#include "engine/loaders.h"
#include "engine/scene_hooks.h"
#include "story/story_state.h"

class FieldEventTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedHooks = gSceneHooks;
        gSceneHooks = SceneHooks{};
        gSceneHooks.startEvent = [] { ++sStarts; };
        sStarts = 0;
        resetLoaderState();
        resetFloorObjects();
        resetFieldEventState();
        resetPartyState();
        gEventNumber = EventNumber{};
    }
    void TearDown() override {
        waitForLoaderThread();
        pollLoaderThread();
        resetLoaderState();
        gSceneHooks = savedHooks;
    }
    static void finishLoad() {
        waitForLoaderThread();
        pollLoaderThread();
    }
    SceneHooks savedHooks{};
    static inline int32_t sStarts = 0;
};

TEST_F(FieldEventTest, ARequestStartsTheEventLoaderAndASecondWaitsForItsEnd) {
    gEventStartArg = 7;
    ASSERT_EQ(requestEvent(2, 13, 1), 1);
    EXPECT_EQ(gEventReady, 2);
    EXPECT_EQ(gEventNumber.major, 2);
    EXPECT_EQ(gEventNumber.minor, 13);
    EXPECT_EQ(gEventLoaderMode, 1);
    EXPECT_EQ(gEventStartArg, 0);
    EXPECT_EQ(sStarts, 1);

    EXPECT_EQ(requestEvent(1, 1, 0), 0);   // still loading
    finishLoad();
    EXPECT_EQ(gEventReady, 1);
    EXPECT_EQ(requestEvent(1, 1, 0), 0);   // running
    EXPECT_EQ(gEventNumber.major, 2);
    EXPECT_EQ(gEventNumber.minor, 13);
    EXPECT_EQ(sStarts, 1);

    gEventReady = 0;                       // the event ended
    EXPECT_EQ(requestEvent(1, 1, 0), 1);
    EXPECT_EQ(gEventNumber.minor, 1);
}

TEST_F(FieldEventTest, AQueuedRequestHoldsThePlayerUntilTheRunningEventEnds) {
    updateQueuedEvent();                   // nothing queued: nothing happens
    EXPECT_EQ(gEventReady, 0);

    gEventReady = 1;
    gSwitchRegistry.queued = QueuedEvent{1, 4, 5, 3, Vector3{12.0f, 0.0f, -3.0f}};
    gParty.positions[0] = Vector3{0.0f, 0.0f, 0.0f};
    updateQueuedEvent();
    EXPECT_EQ(gParty.positions[0].x, 12.0f);
    EXPECT_EQ(gParty.positions[0].z, -3.0f);
    EXPECT_EQ(sStarts, 0);
    EXPECT_EQ(gSwitchRegistry.queued.pending, 1);

    gEventReady = 0;
    updateQueuedEvent();
    EXPECT_EQ(gSwitchRegistry.queued.pending, 0);
    EXPECT_EQ(gEventReady, 2);
    EXPECT_EQ(gEventNumber.major, 4);
    EXPECT_EQ(gEventNumber.minor, 5);
    EXPECT_EQ(gEventLoaderMode, 3);
    EXPECT_EQ(sStarts, 1);
}
