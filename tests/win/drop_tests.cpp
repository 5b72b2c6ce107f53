// Files and folders dropped on the main window: a real HDROP, sent as the shell sends it.
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/entry_view.h"
#include "common/memory_seam.h"
#include "digest/read_queue.h"
#include "summary/adding.h"
#include "summary/document_state.h"
#include "operation_support.h"
#include "test_support.h"

using namespace testsupport;

namespace {

// A drop as the shell hands it over: DROPFILES and the wide names, each ended by a NUL, the
// list by another. The window releases it.
HDROP MakeDrop(const std::vector<std::string>& paths) {
  std::wstring names;
  for (const std::string& path : paths) {
    names += std::wstring(path.begin(), path.end());
    names += L'\0';
  }
  names += L'\0';
  HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
  auto* files = static_cast<DROPFILES*>(GlobalLock(block));
  files->pFiles = sizeof(DROPFILES);
  files->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), names.data(),
              names.size() * sizeof(wchar_t));
  GlobalUnlock(block);
  return static_cast<HDROP>(block);
}

void Drop(const std::vector<std::string>& paths) {
  SendMessageA(MainWindow, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
}

bool MakeShortcut(const std::string& shortcut, const std::string& target) {
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return false;
  }
  IPersistFile* file = nullptr;
  bool saved = SUCCEEDED(link->SetPath(std::wstring(target.begin(), target.end()).c_str())) &&
               SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
               SUCCEEDED(file->Save(std::wstring(shortcut.begin(), shortcut.end()).c_str(), TRUE));
  if (file) file->Release();
  link->Release();
  return saved;
}

class DropTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(OpenMainWindow(), nullptr);
    SetBaseDirectory(scratch_.Path().c_str());
  }
  void TearDown() override { CloseMainWindow(); }

  std::string Write(const std::string& name, const std::string& bytes) {
    contents_.push_back(bytes);
    return scratch_.Write(name, bytes);
  }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const Row& row : Rows()) names.push_back(row.name);
    return names;
  }

  ScratchDir scratch_;
  std::vector<std::string> contents_;
};

TEST_F(DropTest, FilesAndFoldersAreAddedInTheOrderOfTheDropAndWhatIsOutsideIsRefused) {
  std::string a = Write("a.txt", "alpha");
  std::string b = Write("b.txt", "bravo");
  scratch_.MakeDir("sub");
  Write("sub\\x.bin", std::string(70000, 'x'));
  Write("sub\\y.bin", "yankee");
  ScratchDir outside;
  std::string stray = outside.Write("o.txt", "outside");
  DialogScript script;  // what is outside is counted, not told item by item
  Drop({b, scratch_.File("sub"), a, stray, outside.Path()});
  EXPECT_TRUE(script.Seen().empty());
  EXPECT_EQ(LeftOut.notUnderBase, 2);
  EXPECT_EQ(StatusBarText(), "2 files or folders left out: not under the Base Directory");

  std::vector<std::string> names = Names();
  ASSERT_EQ(names.size(), 4u);
  EXPECT_EQ(names[0], "b.txt");
  std::sort(names.begin() + 1, names.begin() + 3);  // a folder lists in the system's order
  EXPECT_EQ(names, std::vector<std::string>({"b.txt", "sub/x.bin", "sub/y.bin", "a.txt"}));
  for (const Row& row : Rows()) EXPECT_EQ(row.status, "OK") << row.name;
  EXPECT_EQ(RowAt(3).digest, DigestOf("alpha"));
  EXPECT_EQ(MainTitle(), TitleWithCount(4));
  EXPECT_FALSE(BusyFlag);

  Drop({a});  // listed already: not read again, nothing changes
  EXPECT_EQ(Names().size(), 4u);
}

TEST_F(DropTest, ALoneSummaryIsOpenedAsFileOpenOpensItAndWithOtherFilesItIsAdded) {
  std::string summary = Write("kept.MD5", DigestOf("one") + " *one.txt\r\n");
  std::string one = Write("one.txt", "one");
  AppendEntry("unsaved.txt", DigestOf("x").c_str(), kStatusOk, 1);
  ASSERT_TRUE(IsModified());
  {
    DialogScript script;
    script.Then(Press(IDNO)).Then(Press(IDCANCEL));  // the unsaved changes, then the browser
    Drop({summary});
    ASSERT_EQ(script.Seen().size(), 2u);
    EXPECT_EQ(script.Seen()[0].text, "The MD5 Summary has been modified. Do you want to save it?");
  }
  EXPECT_EQ(std::string(SummaryPath()), summary);
  EXPECT_EQ(Names(), std::vector<std::string>({"one.txt"}));

  ClearEntries();
  SetBaseDirectory(scratch_.Path().c_str());
  DialogScript none;
  Drop({summary, one});
  EXPECT_TRUE(none.Seen().empty());
  EXPECT_EQ(Names(), std::vector<std::string>({"kept.MD5", "one.txt"}));
}

TEST_F(DropTest, ADropWhileBusyIsIgnoredAndWithoutABaseDirectoryTheAddMessageShows) {
  std::string a = Write("a.txt", "alpha");
  BeginLongOperation();
  Drop({a});
  EndLongOperation();
  EXPECT_EQ(EntryCount(), 0);

  SetBaseDirectory("");
  DialogScript script;
  script.Then(Press(IDOK));
  Drop({a});
  ASSERT_EQ(script.Seen().size(), 1u);
  EXPECT_EQ(script.Seen()[0].text, "You must set the Base Directory before adding any files!");
  EXPECT_EQ(EntryCount(), 0);
}

TEST_F(DropTest, AShortcutAddsItsTargetAndOneWithoutATargetIsCountedAsLeftOut) {
  std::string target = Write("target.bin", "the target");
  std::string shortcut = scratch_.File("link.lnk");
  ASSERT_TRUE(MakeShortcut(shortcut, target));
  WriteFileWhole(scratch_.File("broken.lnk"), "not a shortcut");
  Drop({shortcut, scratch_.File("broken.lnk")});
  EXPECT_EQ(Names(), std::vector<std::string>({"target.bin"}));
  EXPECT_EQ(RowAt(0).digest, DigestOf("the target"));
  EXPECT_EQ(LeftOut.unreadableFiles, 1);
  EXPECT_NE(StatusBarText().find("1 "), std::string::npos) << StatusBarText();
}

TEST_F(DropTest, APathTooLongIsCountedAndStopEndsTheWholeDrop) {
  const std::string tooLong = scratch_.Path() + "\\" + std::string(300, 'n') + ".txt";
  scratch_.MakeDir("many");
  for (int i = 0; i < 5; ++i) Write("many\\f" + std::to_string(i) + ".bin", std::string(100, 'f'));
  const std::string last = Write("last.txt", "last");
  DialogScript script;
  FileStartWatch watch([](const std::string&, int number) {
    if (number == 2) SendMessageA(MainWindow, WM_COMMAND, IDM_STOP, 0);  // as the Stop button
  });
  Drop({tooLong, scratch_.File("many"), last});
  EXPECT_TRUE(script.Seen().empty());
  EXPECT_EQ(LeftOut.longPaths, 1);
  EXPECT_EQ(EntryCount(), 1);  // the folder's first file; the second was being read at Stop
  EXPECT_FALSE(IsNameListed("last.txt"));
  EXPECT_FALSE(BusyFlag);
}

// With four readers, files of the first folder are still being read when the same files come
// again through a shortcut to it: each is listed once, and what comes after Stop counts nothing.
class FourReaderDropTest : public DropTest {
 protected:
  void SetUp() override {
    SetReaderCountForTests(4);
    DropTest::SetUp();
  }
  void TearDown() override {
    DropTest::TearDown();
    SetReaderCountForTests(0);
  }
};

TEST_F(FourReaderDropTest, AFolderAndAShortcutToItListEachFileOnce) {
  scratch_.MakeDir("tree");
  std::vector<std::string> expected;
  for (int i = 0; i < 5; ++i) {  // all still in flight when the shortcut's walk finds them
    expected.push_back("tree/f" + std::to_string(100 + i) + ".bin");
    Write("tree\\f" + std::to_string(100 + i) + ".bin", std::string(3000 + i, 'a' + i));
  }
  const std::string shortcut = scratch_.File("tree.lnk");
  ASSERT_TRUE(MakeShortcut(shortcut, scratch_.File("tree")));
  Drop({scratch_.File("tree"), shortcut, scratch_.File("tree\\f103.bin")});
  std::vector<std::string> names = Names();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, expected);
  EXPECT_EQ(MainTitle(), TitleWithCount(5));
  EXPECT_EQ(LeftOut.unreadableFiles, 0);  // the shortcut was followed
}

TEST_F(FourReaderDropTest, NothingIsCountedAfterStop) {
  const std::string first = Write("first.bin", std::string(100000, 'f'));
  const std::string tooLong = scratch_.Path() + "\\" + std::string(300, 'n') + ".txt";
  ScratchDir outside;
  FileStartWatch watch([](const std::string&, int number) {
    if (number == 1) SendMessageA(MainWindow, WM_COMMAND, IDM_STOP, 0);
  });
  Drop({first, tooLong, outside.Path(), Write("later.txt", "later")});
  EXPECT_EQ(EntryCount(), 0);
  EXPECT_EQ(LeftOut.longPaths, 0);
  EXPECT_EQ(LeftOut.notUnderBase, 0);
  EXPECT_EQ(StatusBarText(), "");
  EXPECT_FALSE(BusyFlag);
}

// Memory that runs out for the dropped names or the queued files ends nothing: every file is
// listed or counted as left out, whichever readers there are.
TEST_F(FourReaderDropTest, NoMemoryForQueuedItemsLeavesFilesCountedNotLost) {
  scratch_.MakeDir("tree");
  for (int i = 0; i < 20; ++i) Write("tree\\g" + std::to_string(i) + ".bin", "g" + std::to_string(i));
  for (int allowed : {0, 3, 9}) {
    ClearEntries();
    RefuseItemsAfterForTests(allowed);
    Drop({scratch_.File("tree"), Write("single.txt", "single")});
    RefuseItemsAfterForTests(-1);
    EXPECT_FALSE(BusyFlag) << allowed;
    EXPECT_EQ(EntryCount() + LeftOut.outOfMemory, allowed == 0 ? 2 : 21) << allowed;
    EXPECT_GT(LeftOut.outOfMemory, 0) << allowed;
  }
}

}  // namespace
