// Holds the Wine desktop of a test run open from the prefix's preparation to the run's end.
// Wine closes a desktop about a second after its last program has gone, and the next program
// starts it again (explorer.exe): seconds for each test executable, and a program that starts
// while the old desktop is still closing waits ten seconds more. Started detached by
// scripts/test.sh, so that no test runner waits on its output; ended with the run's wineserver.
//   desktop_holder.exe READY_FILE    (the file is written once the desktop is held)
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  // A hidden top-level window ties this thread, and so the desktop, to the process.
  HWND window = CreateWindowExA(0, "STATIC", "Velmora test desktop holder", WS_POPUP, 0, 0, 0, 0,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!window) return 1;
  if (argc > 1) {
    FILE* ready = std::fopen(argv[1], "wb");
    if (ready) std::fclose(ready);
  }
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
