// Entry point of dorvex.exe: everything else lives in the library the tests share.
#include <windows.h>

#include "app/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
  return RunApplication(instance, commandLine, showCommand);
}
