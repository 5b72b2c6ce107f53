// Verify All/Selected and Recalculate All/Selected: each pass run as one long operation.
#ifndef VELMORA_APP_VERIFY_COMMANDS_H
#define VELMORA_APP_VERIFY_COMMANDS_H

#include <windows.h>

void VerifyAll(HWND owner);
void VerifySelected(HWND owner);
void RecalculateAll(HWND owner);
void RecalculateSelected(HWND owner);

#endif
