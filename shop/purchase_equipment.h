// shop/purchase_equipment.h: an adventurer who buys at the counter
// equips what it bought. Runs on the counter's deal, over gCounter and the
// running game's adventurer records; the target slot for the comparison
// panel is found by the counter drawing each frame.
#pragma once

// An adventurer customer takes what it bought into its equipment.
void equipAdventurerPurchase();
// The slot an adventurer customer would put the counter item in, for the
// comparison panel; sets gCounter.adventurerTargetSlot (-1 none).
void findAdventurerTargetSlot();
