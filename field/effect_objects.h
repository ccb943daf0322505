// field/effect_objects.h: the hard-coded effects of the field: the per-kind
// rules that move and end the effect objects each logic tick, the weapon
// trail's spline, and clearing every effect pool when a scene or floor
// changes. Main thread only.
#pragma once
#include <cstdint>

#include "field/field_state.h"

// The effect editor's menu over the field; it arrives with the editor and
// draws nothing until then.
void drawEditorMenu();

// Every object free and the trail's histories empty.
void resetEffectObjects();

// Advances the trail objects (kind 148): the histories take the current
// edges of the first enemy's exported bones, and from a trail's third tick
// the trail strip follows their spline. The world effect pass runs it once
// after a tick.
void updateTrails();

// The natural cubic spline through count points at the parameters 0 ..
// count - 1: k gets a sixth of the second derivative at each point.
constexpr int32_t SPLINE_MAX_POINTS = TRAIL_HISTORY_POINTS;
void solveSpline(const float* points, int32_t count, float* k);
// The spline at t; beyond the last point the last segment's cubic goes on.
float evalSpline(float t, const float* points, int32_t count, const float* k);
