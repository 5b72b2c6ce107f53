// How the reading of a file is shown and stopped. Reading knows nothing of windows: what it has
// to tell goes through the one hook that the program installs at start, and the stop request is
// a flag that any thread may read.
#ifndef VELMORA_DIGEST_READ_HOOK_H
#define VELMORA_DIGEST_READ_HOOK_H

#include <cstdint>

// Set by the Stop command, cleared as a long operation starts, read between chunks.
bool StopRequested();
void RequestStop();
void ClearStopRequest();

enum class ReadPoint { kBeforeFirstRead, kAfterChunk };

struct ReadHook {
  void (*fileStarted)(const char* path);  // before the file is opened
  void (*fileEnded)();                    // after it is closed, whatever its verdict
  void (*progressed)(uint32_t position);  // the file's progress position, 0 at its start
  // Does what is due at this point of the read (dispatching, refreshing); true: stop reading.
  bool (*poll)(ReadPoint point);
};

// With no hook installed, reading reports nothing and stops only on request.
void InstallReadHook(const ReadHook* hook);
// A reader thread's own hook, in place of the installed one for that thread.
void SetThreadReadHook(const ReadHook* hook);

// What the reading code calls; each passes to the installed hook.
void ReportFileStarted(const char* path);
void ReportFileEnded();
void ReportProgress(uint32_t position);
bool PollRead(ReadPoint point);

#endif
