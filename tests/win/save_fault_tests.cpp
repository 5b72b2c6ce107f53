// Saving onto a full disk: driven by tests/interop/full_disk.sh, which mounts a tiny
// filesystem and names the target; skipped when run on its own.
#include <cstdlib>
#include <string>

#include "app/app_state.h"
#include "app/document_commands.h"
#include "app/entry_view.h"
#include "app/title.h"
#include "summary/document_state.h"
#include "test_support.h"

using namespace testsupport;

namespace {

int CountTemporaryFiles(const std::string& directory) {
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((directory + "\\dvx*.tmp").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do ++count;
  while (FindNextFileA(find, &found));
  FindClose(find);
  return count;
}

TEST(FullDisk, SaveKeepsTheOldFileAndTheModifiedState) {
  const char* target = std::getenv("VELMORA_FULL_DISK_TARGET");
  if (!target || !*target) GTEST_SKIP() << "run by tests/interop/full_disk.sh";
  std::string path = target;
  std::string directory = path.substr(0, path.find_last_of('\\'));
  std::string before = ReadWholeFile(path);
  ASSERT_FALSE(before.empty());

  HWND window = OpenMainWindow();
  ASSERT_NE(window, nullptr);
  SetSummaryPath(path.c_str());
  std::string longName(200, 'n');
  for (int i = 0; i < 200; ++i) {
    AppendEntry((longName + std::to_string(i)).c_str(), "d41d8cd98f00b204e9800998ecf8427e", 1, 1);
  }
  ASSERT_TRUE(IsModified());
  {
    DialogScript script;
    script.Then(Press(IDOK));
    SaveSummary(window);
    ASSERT_EQ(script.Seen().size(), 1u);
    EXPECT_EQ(script.Seen()[0].text, "Cannot write to output file");
  }
  EXPECT_TRUE(IsModified());
  EXPECT_EQ(ReadWholeFile(path), before);
  EXPECT_EQ(CountTemporaryFiles(directory), 0);
  CloseMainWindow();
}

}  // namespace
