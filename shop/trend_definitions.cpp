#include "shop/trend_definitions.h"

TrendDefinition gTrendDefinitions[TREND_DEFINITION_MAX + 1];
int32_t gTrendDefinitionCount;
