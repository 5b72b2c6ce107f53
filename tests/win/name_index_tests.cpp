// The index of listed names answers the duplicate test; it must agree with the list after
// every kind of change.
#include <windows.h>
// commctrl.h needs the types of windows.h first.
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/entry_view.h"
#include "app/selection.h"
#include "summary/summary_file.h"
#include "test_support.h"

using namespace testsupport;

namespace {

class NameIndexAgreement : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(OpenMainWindow(), nullptr); }
  void TearDown() override { CloseMainWindow(); }

  void Append(const std::string& name) {
    AppendEntry(name.c_str(), "d41d8cd98f00b204e9800998ecf8427e", 1, 1);
  }

  void Select(std::initializer_list<int> indexes) {
    ListView_SetItemState(EntryList, -1, 0, LVIS_SELECTED);
    for (int index : indexes) ListView_SetItemState(EntryList, index, LVIS_SELECTED, LVIS_SELECTED);
  }

  // Every listed name is found, the counts match, and a name no longer listed is not found.
  void ExpectAgreement(const std::vector<std::string>& gone = {}) {
    EXPECT_EQ(ListedNameCount(), EntryCount());
    char name[MAX_PATH];
    for (int index = 0; index < EntryCount(); ++index) {
      GetEntryText(index, 0, name, sizeof name);
      EXPECT_TRUE(IsNameListed(name)) << name;
    }
    for (const std::string& name : gone) EXPECT_FALSE(IsNameListed(name.c_str())) << name;
  }
};

TEST_F(NameIndexAgreement, AppendSortDeleteAndClear) {
  for (const char* name : {"b.txt", "a.txt", "A.txt", "dir/c.txt", "a.txt"}) Append(name);
  ExpectAgreement({"B.txt", "dir/C.txt"});
  SortEntries(0);
  SortEntries(0);
  ExpectAgreement();
  Select({0, 1});  // after the descending sort: dir/c.txt and b.txt
  DeleteSelected(MainWindow);
  ExpectAgreement({"dir/c.txt", "b.txt"});
  EXPECT_TRUE(IsNameListed("a.txt"));  // listed twice, still there
  Append("b.txt");  // deleted, then added again
  ExpectAgreement();
  SelectAll();
  DeleteSelected(MainWindow);
  ExpectAgreement({"a.txt", "A.txt", "b.txt"});
  Append("x");
  ClearEntries();
  ExpectAgreement({"x"});
}

TEST_F(NameIndexAgreement, LoadingASummaryIndexesEveryLine) {
  ScratchDir scratch;
  std::string summary = scratch.Write("s.md5",
                                      "d41d8cd98f00b204e9800998ecf8427e *one.txt\r\n"
                                      "d41d8cd98f00b204e9800998ecf8427e *sub\\two.txt\r\n"
                                      "d41d8cd98f00b204e9800998ecf8427e *one.txt\r\n");
  Append("stale.txt");
  ClearEntries();
  ASSERT_TRUE(ReadSummaryFile(summary.c_str()));
  ExpectAgreement({"stale.txt", "sub\\two.txt"});
  EXPECT_TRUE(IsNameListed("sub/two.txt"));
}

}  // namespace
