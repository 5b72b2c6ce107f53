// Reading every (or every selected) file again: verify against, or replace, stored digests.
#ifndef VELMORA_SUMMARY_VERIFY_H
#define VELMORA_SUMMARY_VERIFY_H

#include <windows.h>

void VerifyAll(HWND owner);
void VerifySelected(HWND owner);
void RecalculateAll(HWND owner);
void RecalculateSelected(HWND owner);

#endif
