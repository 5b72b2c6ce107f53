// Windows ending the session (log off, shut down, an update's restart): unsaved changes get the
// same question as closing the window, and a refusal tells the system why.
#ifndef VELMORA_APP_SESSION_END_H
#define VELMORA_APP_SESSION_END_H

#include <windows.h>

extern const char kUnsavedReason[];  // "The %s Summary has not been saved", the kind's name in it

// WM_QUERYENDSESSION: stops an operation under way, asks about unsaved changes; TRUE lets the
// session end, FALSE refuses it (Cancel, a failed save, a cancelled Save As).
LRESULT AnswerSessionEndQuery(HWND window);
// The session will not end after all: the reason given for refusing is withdrawn.
void WithdrawSessionEndRefusal(HWND window);

#endif
