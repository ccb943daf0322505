// story/field_menu.h: the pause menu's content.
#pragma once

void openFieldMenu();
void updateFieldMenu();
void drawFieldMenu();
