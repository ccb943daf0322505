// engine/dialogs.h: the shared message and yes/no windows.
#pragma once

void resetDialogs();
