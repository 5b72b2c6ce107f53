#include "app/command_state.h"

#include "resources/resource.h"

// Busy mode greys these from the last to the first.
const int kBusyDisabledCommands[kBusyDisabledCommandCount] = {
    IDM_NEW,           IDM_OPEN,           IDM_SAVE,            IDM_SAVE_AS,
    IDM_SET_BASE_DIRECTORY,                IDM_VERIFY_ALL,      IDM_RECALCULATE_ALL,
    IDM_EXIT,          IDM_ADD_FILES,      IDM_ADD_DIRECTORY,   IDM_SELECT_ALL,
    IDM_COPY,          IDM_DELETE,         IDM_VERIFY_SELECTED, IDM_RECALCULATE_SELECTED,
    IDM_HELP_CONTENTS, IDM_ABOUT,          IDM_DIGEST_MD5,      IDM_DIGEST_SHA1,
    IDM_DIGEST_SHA256, IDM_DIGEST_SHA512};

void ComputeCommandState(const CommandFacts& state, CommandEnable out[kRefreshedCommandCount]) {
  const bool base = state.baseDirectorySet;
  const bool entries = state.hasEntries;
  // A selection counts only while there is something to select.
  const bool selected = entries && state.hasSelection;
  const CommandEnable rows[kRefreshedCommandCount] = {
      {IDM_SAVE, entries && state.modified},
      {IDM_SAVE_AS, entries},
      {IDM_SELECT_ALL, entries},
      {IDM_DELETE, selected},
      {IDM_COPY, selected},
      {IDM_VERIFY_SELECTED, base && selected},
      {IDM_RECALCULATE_SELECTED, base && selected},
      {IDM_SET_BASE_DIRECTORY, !base || !entries},
      {IDM_ADD_FILES, base},
      {IDM_ADD_DIRECTORY, base},
      {IDM_VERIFY_ALL, base && entries},
      {IDM_RECALCULATE_ALL, base && entries},
      // The kind of digest belongs to the entries: chosen only while there are none.
      {IDM_DIGEST_MD5, !entries && state.kindAvailable[0]},
      {IDM_DIGEST_SHA1, !entries && state.kindAvailable[1]},
      {IDM_DIGEST_SHA256, !entries && state.kindAvailable[2]},
      {IDM_DIGEST_SHA512, !entries && state.kindAvailable[3]},
  };
  for (int i = 0; i < kRefreshedCommandCount; ++i) out[i] = rows[i];
}
