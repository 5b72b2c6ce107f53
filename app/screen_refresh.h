// While a long operation runs, the list and the status bar are drawn in batches: under some
// systems drawing them after every file or text change costs far more than reading the files.
// They are repainted at least every kScreenRefreshInterval ms, between files and between the
// chunks of a long file, and at the end.
//
// For the same reason, while batched, the status text and the progress position are held and
// handed to their controls only when something can show or read them: at a repaint, before any
// pending message is dispatched, and at the end. Pending messages are dispatched when
// kMessageInterval ms have passed since the last dispatch (and at the first chance of each
// operation): looking at the queue is a round trip to the window server on some systems, far
// dearer than digesting a chunk.
#ifndef VELMORA_APP_SCREEN_REFRESH_H
#define VELMORA_APP_SCREEN_REFRESH_H

#include <cstdint>

enum { kScreenRefreshInterval = 50, kMessageInterval = 10 };

void BeginBatchedRedraw();
// Outside a batch, draws the list at once (the behaviour of a single change).
void RefreshScreenIfDue();
void EndBatchedRedraw();
// Marks the list as changed, so that the next refresh repaints it.
void NoteListChanged();

// Dispatches pending messages: at once outside a batch, else when they are due.
void PumpMessagesIfDue();

// kPaced is the program's way, described above. kEveryChunk hands every status text and
// progress position over at once and dispatches before each file's first read and after every
// chunk, so that tests can act at a chosen file or chunk of a long operation.
enum class DisplayPacing { kPaced, kEveryChunk };
void SetDisplayPacing(DisplayPacing pacing);

// Shows a status text or progress position now, or holds it while batched.
void ShowStatusText(const char* text);
void ShowProgressPosition(uint32_t position);
// Hands held texts and positions to their controls.
void FlushHeldDisplay();

#endif
