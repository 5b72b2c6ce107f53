// The process's start, message loop and clean-up.
#ifndef VELMORA_APP_STARTUP_H
#define VELMORA_APP_STARTUP_H

#include <windows.h>

extern const char kUsageText[];  // "Usage: dorvex [-g dir_name] [-c dir_name] md5_name"

// Everything between the entry point and the exit code.
int RunApplication(HINSTANCE instance, char* commandLine, int showCommand);

// Process set-up that needs no window: the locale-aware path comparison, HelpFilePath and
// LastBrowseFolder. Tests call it too.
void PrepareProcessState(HINSTANCE instance);

// One message through the accelerators, then the usual translation and dispatch.
void DispatchMainLoopMessage(HACCEL accelerators, MSG* message);

// Runs the command-line action of the start-up request (directories may be absent).
void RunStartupAction(HWND window, char* generateDirectory, char* checkDirectory,
                      const char* summaryName);

#endif
