// shop/trends.h: market trends, news and booms.
#pragma once

void resetNewsAndEvents();
