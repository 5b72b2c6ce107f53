// Reading listed files again: verifying them against their stored digests, or recalculating
// those. The window's commands choose the entries and run these as long operations.
#ifndef VELMORA_SUMMARY_VERIFY_H
#define VELMORA_SUMMARY_VERIFY_H

#include <vector>

enum class PassAction { kVerify, kRecalculate };

struct PassResult {
  bool interrupted = false;
  bool allOk = true;
};

// Reads the file of each entry at the given indices (in that order) under the Base Directory,
// and records each verdict on its own entry, wherever a sort meanwhile has moved it.
PassResult RunPass(const std::vector<int>& indices, PassAction action);

#endif
