#include "adventurers/balloon.h"

#include <cstdio>

#include "engine/screen_mapping.h"
#include "field/field.h"
#include "shop/shop.h"

BalloonState gBalloon;

void setBalloon(int32_t code, int32_t value, int32_t member, int32_t side, int32_t duration) {
    gBalloon = BalloonState{value, member, side, 1, duration, code};
}

int32_t fairyBalloonSide() {
    ScreenPoint p;
    const Vector3& f = gParty.positions[2];
    mapWorldToScreen(f.x, f.y, f.z, &p);
    return p.x < 320.0f ? 1 : 0;
}

// The name an item key shows: an unidentified item its category's name.
static const char* shownName(int32_t key) {
    int32_t row = findItemDisplayRow(key);
    return row < 0 ? "" : gItemDefinitions[row].name;
}

void makePickupMessage(char* out, int32_t size, int32_t code, int32_t value) {
    switch (code) {
    case 0: {
        int32_t plus = itemKeyPlus(value);
        if (plus > 0 && !(value & ITEM_KEY_UNIDENTIFIED)) snprintf(out, size, "Got an %s+%d!", shownName(value), plus);
        else snprintf(out, size, "Got an %s!", shownName(value));
        return;
    }
    case 1: snprintf(out, size, "Can't carry any more!"); return;
    case 2: snprintf(out, size, "You did well today."); return;
    case 3: snprintf(out, size, "Yes? What is it?"); return;
    case 4: snprintf(out, size, "Used %s.", shownName(value)); return;
    case 5: snprintf(out, size, "%s<BR>has broken!", shownName(value)); return;
    case 6: snprintf(out, size, "The %s<BR>has worn off!", shownName(value)); return;
    case 300: snprintf(out, size, "I'm tiiiired..."); return;
    case 301: snprintf(out, size, "Go rest, then.<BR>Tomorrow will<BR>be busy."); return;
    case 302: snprintf(out, size, "Thanks for all your<BR>help today, Yoss!"); return;
    case 303: snprintf(out, size, "You also did well.<BR>You look tired;<BR>get some rest."); return;
    case 304: snprintf(out, size, "G'night!"); return;
    case 305: snprintf(out, size, "Good night."); return;
    // メッセージテスト<BR>メッセージテスト１
    default:
        snprintf(out, size, "%s", "\x83\x81\x83\x62\x83\x5a\x81\x5b\x83\x57\x83\x65\x83\x58\x83\x67<BR>"
                                  "\x83\x81\x83\x62\x83\x5a\x81\x5b\x83\x57\x83\x65\x83\x58\x83\x67\x82\x50");
        return;
    }
}

void showActorMessage() {
    BalloonState& b = gBalloon;
    if (b.age == 0) return;
    char text[256];
    makePickupMessage(text, sizeof text, b.code, b.value);
    if (b.age == 1) openPopupMessage(412.0f, 112.0f, 0, text);
    b.age++;
    if (b.duration >= 0 && b.age >= b.duration) {
        b.age = 0;
        closePopupMessage(1);
        return;
    }
    int32_t m = b.member >= 0 && b.member < PARTY_MEMBER_COUNT ? b.member : 0;
    const Vector3& at = gParty.positions[m];
    ScreenPoint p;
    mapWorldToScreen(at.x, at.y + (m == 2 ? 0.5f : 1.5f), at.z, &p);
    if (b.side == 1) {
        setPopupMirror(1, 0);
        setPopupPosition(p.x - 192.0f, p.y - 16.0f);
    } else {
        setPopupPosition(p.x + 48.0f, p.y - 48.0f);
    }
    setPopupTextScale(0.4f);
}

void resetBalloonState() { gBalloon = BalloonState{}; }
