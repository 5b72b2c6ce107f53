#include "digest/read_hook.h"

#include <atomic>

namespace {

std::atomic<bool> StopFlag{false};
const ReadHook* Hook = nullptr;

}  // namespace

bool StopRequested() { return StopFlag.load(); }

void RequestStop() { StopFlag.store(true); }

void ClearStopRequest() { StopFlag.store(false); }

void InstallReadHook(const ReadHook* hook) { Hook = hook; }

void ReportFileStarted(const char* path) {
  if (Hook) Hook->fileStarted(path);
}

void ReportFileEnded() {
  if (Hook) Hook->fileEnded();
}

void ReportProgress(uint32_t position) {
  if (Hook) Hook->progressed(position);
}

bool PollRead(ReadPoint point) { return Hook ? Hook->poll(point) : StopRequested(); }
