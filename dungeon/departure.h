// dungeon/departure.h: the adventurers' guild departure screen (mode 11).
#pragma once

void initDepartureScreen();
// Around an overlay over the departure screen: its list cursors kept and given back.
void saveDepartureListState();
void restoreDepartureListState();
// gStageIndex := the stage of the run's dungeon and floor.
void selectDungeonStage();
