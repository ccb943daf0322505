// adventurers/attack_objects.h: the swings, shots and spells of both sides.
#pragma once

void updateAttackObjects();
