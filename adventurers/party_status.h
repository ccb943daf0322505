// adventurers/party_status.h: the status of member 0 once per tick: the
// glow, ailment, medicine and special timers, invincibility, the delayed
// heals, the eased HP and SP gauges, and the members' animation steps.
#pragma once

#include "adventurers/adventurers.h"

void tickPartyStatus(PartyState& party);
// A heal that lands when its timer counts down to 0.
void runDelayedHeals(PartyState& party);
