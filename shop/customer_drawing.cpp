// shop/customer_drawing.cpp: the shop floor's walkers in the field's world
// drawing: the customers, the street crowd and the story visitors as sprite
// figures in the model pass, their round shadows, and the accessory drawn
// over the customers. Only on shop stages. Main thread, once per drawn frame.
#include "adventurers/adventurers_state.h"
#include "engine/settings.h"
#include "engine/stage_index.h"
#include "engine/story_flags.h"
#include "field/field.h"
#include "shop/floor_customers.h"
#include "shop/story_visits.h"

constexpr float FIGURE_SCALE = 0.03f;
constexpr float VISITOR_SCALE = 0.028f;
constexpr uint32_t FIGURE_COLOR = 0xFF7F7F7F;
constexpr float SHADOW_SCALE = 0.0046f;
constexpr float SHADOW_LIFT = 0.08f;
constexpr int32_t SHADOW_GREY = 0x20;
constexpr int32_t RAISED_MODEL = 66;
constexpr int32_t RAISED_ACCESSORY_MODEL = 67;
constexpr float RAISED_HEIGHT = 2.5f;
constexpr float SECOND_VISITOR_SIDE = 1.2f;

static bool onShopStage() { return gCurrentStage && gCurrentStage->maptype == 0; }

// The street is drawn until the shop opens.
static bool crowdShown() { return gShopDayPhase == 0 && gShopFloor.shopFloorState != SHOP_FLOOR_OPEN; }

static bool walkerShown(const CrowdWalker& w) {
    if (w.modelRow < 0) return false;
    if (w.direction == 0) return storyFlag(FLAG_EVENT_9_1_DUE) || storyFlag(FLAG_STANDING_WALKER);
    return !gTooriOff;
}

static Vector3 customerPlace(const CustomerSlot& slot, int32_t model) {
    float lift = model == RAISED_MODEL ? RAISED_HEIGHT : 0.0f;
    return Vector3{slot.x, slot.y + lift, slot.z};
}

static void drawStreetCrowd() {
    if (!crowdShown()) return;
    for (const CrowdWalker& w : gFloorCustomers.walkers) {
        if (!walkerShown(w)) continue;
        drawFieldFigure(w.motion, customerModelNumber(w.modelRow), FIGURE_SCALE, Vector3{w.x, w.y, w.z}, FIGURE_COLOR);
    }
}

static Vector3 visitorPlace(int32_t k) {
    const FloorCustomersState& f = gFloorCustomers;
    if (k == 0) return Vector3{f.visitor.x, f.visitor.y, f.visitor.z};
    return Vector3{f.visitor.x + SECOND_VISITOR_SIDE + f.riseX, f.visitor.y + f.riseY, f.visitor.z};
}

static void drawStoryVisitors() {
    if (!storyFlag(FLAG_STORY_VISIT)) return;
    for (int32_t k = 0; k < STORY_VISITOR_COUNT; k++)
        drawFieldFigure(gFloorCustomers.visitorMotions[k], STORY_VISITOR_MODELS[k], VISITOR_SCALE, visitorPlace(k),
                        FIGURE_COLOR);
}

void drawCustomers() {
    if (!onShopStage()) return;
    for (const CustomerSlot& slot : gFloorCustomers.slots) {
        if (slot.lineupIndex < 0) continue;
        int32_t model = customerModelNumber(slot.modelRow);
        if (model < 0) continue;
        drawFieldFigure(slot.motion, model, FIGURE_SCALE * slot.scale, customerPlace(slot, model), FIGURE_COLOR);
    }
    drawStreetCrowd();
    drawStoryVisitors();
}

void drawCustomerAccessories() {
    if (!onShopStage()) return;
    for (const CustomerSlot& slot : gFloorCustomers.slots) {
        if (slot.lineupIndex < 0 || customerModelNumber(slot.modelRow) != RAISED_MODEL) continue;
        drawFieldFigure(slot.motion, RAISED_ACCESSORY_MODEL, FIGURE_SCALE * slot.scale,
                        customerPlace(slot, RAISED_MODEL), FIGURE_COLOR);
    }
}

static void drawStreetCrowdShadows() {
    if (!crowdShown()) return;
    for (const CrowdWalker& w : gFloorCustomers.walkers) {
        if (!walkerShown(w)) continue;
        drawRoundFloorShadow(w.x, w.y + SHADOW_LIFT, w.z, SHADOW_SCALE, SHADOW_GREY);
    }
}

void drawCustomerShadows() {
    if (!onShopStage()) return;
    for (const CustomerSlot& slot : gFloorCustomers.slots) {
        if (slot.lineupIndex < 0 || customerModelNumber(slot.modelRow) < 0) continue;
        drawRoundFloorShadow(slot.x, slot.y + SHADOW_LIFT, slot.z, SHADOW_SCALE, SHADOW_GREY);
    }
    drawStreetCrowdShadows();
}
