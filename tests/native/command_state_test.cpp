#include "app/command_state.h"

#include <gtest/gtest.h>

#include <set>

#include "resources/resource.h"

namespace {

// Looks a command up in the computed rows; fails the test when it is missing.
bool IsEnabled(const CommandEnable rows[kRefreshedCommandCount], int id) {
  for (int i = 0; i < kRefreshedCommandCount; ++i) {
    if (rows[i].id == id) return rows[i].enabled;
  }
  ADD_FAILURE() << "command " << id << " not refreshed";
  return false;
}

TEST(CommandState, RowsComeInTheOrderTheyAreApplied) {
  const int order[kRefreshedCommandCount] = {
      IDM_SAVE,      IDM_SAVE_AS,         IDM_SELECT_ALL,           IDM_DELETE,
      IDM_COPY,      IDM_VERIFY_SELECTED, IDM_RECALCULATE_SELECTED, IDM_SET_BASE_DIRECTORY,
      IDM_ADD_FILES, IDM_ADD_DIRECTORY,   IDM_VERIFY_ALL,           IDM_RECALCULATE_ALL,
      IDM_DIGEST_MD5, IDM_DIGEST_SHA1,    IDM_DIGEST_SHA256,        IDM_DIGEST_SHA512};
  CommandEnable rows[kRefreshedCommandCount];
  ComputeCommandState(CommandFacts{true, true, true, true}, rows);
  for (int i = 0; i < kRefreshedCommandCount; ++i) EXPECT_EQ(rows[i].id, order[i]) << i;
}

TEST(CommandState, EnabledCommandsForEachDocumentState) {
  const struct {
    const char* what;
    CommandFacts state;
    std::set<int> enabled;
  } cases[] = {
      {"no base, empty list, no SHA kind here",
       {false, false, false, false, {true, false, false, false}},
       {IDM_SET_BASE_DIRECTORY, IDM_DIGEST_MD5}},
      {"no base, empty list, stale selection and modified flag",
       {false, false, true, true, {true, true, true, true}},
       {IDM_SET_BASE_DIRECTORY, IDM_DIGEST_MD5, IDM_DIGEST_SHA1, IDM_DIGEST_SHA256,
        IDM_DIGEST_SHA512}},
      {"base, empty list",
       {true, false, false, false, {true, true, false, true}},
       {IDM_SET_BASE_DIRECTORY, IDM_ADD_FILES, IDM_ADD_DIRECTORY, IDM_DIGEST_MD5, IDM_DIGEST_SHA1,
        IDM_DIGEST_SHA512}},
      {"base, entries, no selection",
       {true, true, false, false, {true, true, true, true}},  // the kind goes with the entries
       {IDM_SAVE_AS, IDM_SELECT_ALL, IDM_ADD_FILES, IDM_ADD_DIRECTORY, IDM_VERIFY_ALL,
        IDM_RECALCULATE_ALL}},
      {"base, entries, selection, modified",
       {true, true, true, true},
       {IDM_SAVE, IDM_SAVE_AS, IDM_SELECT_ALL, IDM_DELETE, IDM_COPY, IDM_VERIFY_SELECTED,
        IDM_RECALCULATE_SELECTED, IDM_ADD_FILES, IDM_ADD_DIRECTORY, IDM_VERIFY_ALL,
        IDM_RECALCULATE_ALL}},
      {"no base, entries, selection, modified",
       {false, true, true, true},
       {IDM_SAVE, IDM_SAVE_AS, IDM_SELECT_ALL, IDM_DELETE, IDM_COPY, IDM_SET_BASE_DIRECTORY}},
  };
  for (const auto& c : cases) {
    CommandEnable rows[kRefreshedCommandCount];
    ComputeCommandState(c.state, rows);
    for (int i = 0; i < kRefreshedCommandCount; ++i) {
      EXPECT_EQ(rows[i].enabled, c.enabled.count(rows[i].id) == 1)
          << c.what << ": command " << rows[i].id;
    }
  }
}

TEST(CommandState, SaveNeedsEntriesAndChanges) {
  for (int bits = 0; bits < 16; ++bits) {
    const CommandFacts state{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0};
    CommandEnable rows[kRefreshedCommandCount];
    ComputeCommandState(state, rows);
    EXPECT_EQ(IsEnabled(rows, IDM_SAVE), state.hasEntries && state.modified) << bits;
  }
}

TEST(BusyDisabledCommands, EveryFixedCommandButStopInItsOrder) {
  const int expected[kBusyDisabledCommandCount] = {19, 11, 12, 23, 20, 14, 26, 13, 21, 22, 16,
                                                   17, 18, 25, 27, 24, 15, 30, 31, 32, 33};
  std::set<int> seen;
  for (int i = 0; i < kBusyDisabledCommandCount; ++i) {
    EXPECT_EQ(kBusyDisabledCommands[i], expected[i]) << i;
    seen.insert(kBusyDisabledCommands[i]);
  }
  for (int id = IDM_FIRST_COMMAND; id <= IDM_LAST_COMMAND; ++id) {
    EXPECT_EQ(seen.count(id) == 1, id != IDM_STOP) << id;
  }
}

}  // namespace
