#include "digest/read_hook.h"

#include <atomic>

namespace {

std::atomic<bool> StopFlag{false};
const ReadHook* Hook = nullptr;
thread_local const ReadHook* ThreadHook = nullptr;

const ReadHook* ActiveHook() { return ThreadHook ? ThreadHook : Hook; }

}  // namespace

bool StopRequested() { return StopFlag.load(); }

void RequestStop() { StopFlag.store(true); }

void ClearStopRequest() { StopFlag.store(false); }

void InstallReadHook(const ReadHook* hook) { Hook = hook; }

void SetThreadReadHook(const ReadHook* hook) { ThreadHook = hook; }

void ReportFileStarted(const char* path) {
  if (const ReadHook* hook = ActiveHook()) hook->fileStarted(path);
}

void ReportFileEnded() {
  if (const ReadHook* hook = ActiveHook()) hook->fileEnded();
}

void ReportProgress(uint32_t position) {
  if (const ReadHook* hook = ActiveHook()) hook->progressed(position);
}

bool PollRead(ReadPoint point) {
  const ReadHook* hook = ActiveHook();
  return hook ? hook->poll(point) : StopRequested();
}
