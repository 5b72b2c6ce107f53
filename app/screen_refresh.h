// While a long operation runs, what the window shows is handed to its controls in batches:
// under some systems every change of the list's item count, every status text, every progress
// step and every window title costs a redraw and a round trip to the window server, far more
// than reading a small file. So, while batched, the list's item count, the status text, the
// progress position and the window title are held and handed over only when something can
// show or read them: when the screen is refreshed (every kScreenRefreshInterval ms, between
// files and between the chunks of a long file), before any pending message is dispatched, and
// at the end. A changed entry is drawn again only when its row is in sight. The interval keeps
// the screen well inside a tenth of a second: beside reader threads on every core, the window
// thread may wait a few tens of milliseconds for a core or for the window server before a due
// refresh is drawn, and where the system cannot lower the readers' priority (Wine) nothing else
// keeps that wait short.
//
// At a refresh the list gets its new item count only when new rows would come into sight, or
// kScrollBarInterval ms have passed and its scroll bar would look different: otherwise the
// count changes no more than the scroll bar, whose redraw costs more than the rest of the
// refresh together. A dispatched message (the user scrolling, say) still sees every entry.
//
// The window title, whose item count moves by fifty every few milliseconds, waits at a refresh
// that shows a new status text until kTitleInterval ms have passed since it was last handed
// over: the status text already shows the walk moving, a count that changes a dozen times a
// second cannot be read anyway, and painting a title bar costs as much as the rest of such a
// refresh but the status text. A dispatched message still sees the newest title.
//
// Pending messages are dispatched when kMessageInterval ms have passed since the last
// dispatch, and at the first chance of each operation: looking at the queue is itself such a
// round trip, dearer than digesting a chunk.
#ifndef VELMORA_APP_SCREEN_REFRESH_H
#define VELMORA_APP_SCREEN_REFRESH_H

#include <windows.h>

#include <cstdint>

enum {
  kScreenRefreshInterval = 60,
  kBetweenFilesSlack = 5,
  kMessageInterval = 20,
  kScrollBarInterval = 500,
  kTitleInterval = 250
};

void BeginBatchedRedraw();
// Outside a batch, draws the list at once (the behaviour of a single change). Called while a
// file is read, so that the status bar shows the name of the file being read.
void RefreshScreenIfDue();
// The same between files, kBetweenFilesSlack ms later: it refreshes the screen only when no
// file was read for a while (entries already listed or missing), since a refresh between
// files would show the empty status text that each file leaves behind.
void RefreshScreenIfOverdue();
void EndBatchedRedraw();

// Takes every pending message off the queue and dispatches it (no accelerators).
void PumpMessages();
// Dispatches pending messages: at once outside a batch, else when they are due.
void PumpMessagesIfDue();

// Installs the hook through which reading a file names it in the status bar, moves the
// progress bar and dispatches what is due between its chunks.
void InstallReadDisplay();

// Shows a status text or progress position now, or holds it while batched.
void SetStatusText(const char* text);
void SetProgressPosition(uint32_t position);
// Sets a window's title now, or holds it while batched.
void SetWindowTitle(HWND window, const char* text);
// Hands everything held to the controls.
void FlushHeldDisplay();
// Whether changes are being held now.
bool DisplayHeld();

// kPaced is the program's way, described above. kEveryChunk hands every change over at once
// and dispatches before each file's first read and after every chunk, so that tests can act at
// a chosen file or chunk of a long operation.
enum class DisplayPacing { kPaced, kEveryChunk };
void SetDisplayPacing(DisplayPacing pacing);
// Whether every chunk is handed over as it is read: then one file is read at a time, on the
// window's thread.
bool HandsOverEveryChunk();

#endif
