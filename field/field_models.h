// field/field_models.h: the field's 3D models, sprite enemies and the party
// in the world drawing, once per drawn frame. Main thread only.
#pragma once

void drawFieldModels();
void drawSpriteEnemies();
void drawPlayerCharacters();
