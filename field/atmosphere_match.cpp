#include "field/field.h"

#include <cmath>

#include "adventurers/adventurers_state.h"

int32_t rateAtmosphereMatch(int32_t x, int32_t y) {
    double dx = static_cast<double>(gShopAtmosphere.decoration) - x;
    double dy = static_cast<double>(gShopAtmosphere.items) - y;
    double d = gShopAtmosphere.decoration + gShopAtmosphere.items == 0 ? 0.0 : std::sqrt(dx * dx + dy * dy);
    if (d < 15.0 / 13.0) return 4;
    if (d < 45.0 / 13.0) return 3;
    if (d < 120.0 / 13.0) return 2;
    if (d < 165.0 / 13.0) return 1;
    return d <= 15.0 ? 0 : -1;
}
