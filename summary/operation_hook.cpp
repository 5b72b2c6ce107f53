#include "summary/operation_hook.h"

namespace {

const OperationHook* Hook = nullptr;

}  // namespace

void InstallOperationHook(const OperationHook* hook) { Hook = hook; }

void TellUser(const char* text) {
  if (Hook) Hook->tellUser(text);
}

void ReportFileAdded() {
  if (Hook) Hook->fileAdded();
}

void ReportResultRecorded() {
  if (Hook) Hook->resultRecorded();
}

int OperationReaders(const char* path) {
  return Hook && Hook->readersFor ? Hook->readersFor(path) : 1;
}
