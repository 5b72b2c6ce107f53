// Adding files and directory trees through the real dialogs, in the real main window.
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/adding_commands.h"
#include "app/app_state.h"
#include "app/commands.h"
#include "app/entry_view.h"
#include "app/title.h"
#include "common/code_pages.h"
#include "summary/adding.h"
#include "digest/read_queue.h"
#include "summary/document_state.h"
#include "operation_support.h"
#include "test_support.h"

using namespace testsupport;

namespace {

const char kNoBase[] = "You must set the Base Directory before adding any files!";

// The browser's status line, where the program shows the full path of the highlighted folder.
const int kBrowserStatusLine = 0x3743;

HTREEITEM ChildNamed(HWND tree, HTREEITEM parent, const std::string& name) {
  TreeView_Expand(tree, parent, TVE_EXPAND);
  for (HTREEITEM child = TreeView_GetChild(tree, parent); child;
       child = TreeView_GetNextSibling(tree, child)) {
    char text[MAX_PATH] = "";
    TVITEMA item;
    ZeroMemory(&item, sizeof item);
    item.mask = TVIF_TEXT;
    item.hItem = child;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    TreeView_GetItem(tree, &item);
    if (name == text) return child;
  }
  return nullptr;
}

// Moves the browser's highlight from the folder it opened at, one step at a time as a user
// clicks through the tree: ".." to the parent folder, any other step to the child of that
// name. False when a step finds nothing.
bool WalkBrowserTree(HWND browser, const std::vector<std::string>& steps) {
  HWND tree = FindWindowExA(browser, nullptr, "SysTreeView32", nullptr);
  HTREEITEM item = TreeView_GetSelection(tree);
  for (const std::string& step : steps) {
    if (!item) return false;
    item = step == ".." ? TreeView_GetParent(tree, item) : ChildNamed(tree, item, step);
  }
  return item && TreeView_SelectItem(tree, item);
}

std::vector<Row> SortedRows() {
  std::vector<Row> rows = Rows();
  std::sort(rows.begin(), rows.end(),
            [](const Row& a, const Row& b) { return a.name < b.name; });
  return rows;
}

Row OkRow(const std::string& name, const std::string& bytes, const char* size) {
  return {name, DigestOf(bytes), "OK", size};
}

// Run with one reader and with four: from outside, several readers look like one.
// Run with one reader and with four: from outside, several readers look like one.
class AddingTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    SetReaderCountForTests(GetParam());
    ASSERT_NE(OpenMainWindow(), nullptr);
  }
  void TearDown() override {
    CloseMainWindow();
    SetReaderCountForTests(0);
  }

  // Add Directory, with the browser walked by steps (see WalkBrowserTree) from the folder it
  // opens at, then confirmed; the dialogs after the browser get the answers in `after`.
  // Wine's browser now and then fails to highlight the folder it is told to open at: such a
  // try is cancelled, which adds nothing, and made again. The dialogs of the try that went
  // through are returned.
  std::vector<SeenDialog> AddDirectoryVia(const std::vector<std::string>& steps,
                                          const std::vector<DialogAction>& after = {}) {
    for (int attempt = 0; attempt < 5; ++attempt) {
      bool chosen = false;
      DialogScript script;
      script.Then([&](HWND browser) {
        openedAt_ = ItemText(browser, kBrowserStatusLine);
        chosen = !openedAt_.empty() && WalkBrowserTree(browser, steps);
        PostMessageA(browser, WM_COMMAND, chosen ? IDOK : IDCANCEL, 0);
      });
      for (const DialogAction& action : after) script.Then(action);
      AddDirectory(MainWindow);
      if (chosen) {
        EXPECT_EQ(script.Unexpected(), 0);
        return script.Seen();
      }
    }
    ADD_FAILURE() << "the browser never had a folder highlighted";
    return {};
  }

  std::string openedAt_;  // the folder the browser highlighted when it opened
  ScratchDir scratch_;
};

TEST_P(AddingTest, BrowserOpensAtTheBaseDirectoryAndOkAddsItsTree) {
  std::string base = scratch_.MakeDir("the base");
  scratch_.Write("the base/a.txt", "a");
  SetBaseDirectory(base.c_str());
  AddDirectoryVia({});
  EXPECT_EQ(openedAt_, base);
  EXPECT_EQ(Rows(), std::vector<Row>({OkRow("a.txt", "a", "1 K  ")}));
}

TEST_P(AddingTest, DirectoryWalkAddsEveryReadableFileByItsRelativeName) {
  scratch_.Write("a.txt", "abc");
  scratch_.MakeDir("sub");
  scratch_.Write("sub/empty.bin", "");
  scratch_.MakeDir("sub/deeper");
  scratch_.Write("sub/deeper/c.bin", std::string(5000, 'x'));
  scratch_.MakeDir("nothing");
  std::string hidden = scratch_.Write("hidden.txt", "h");
  std::string system = scratch_.Write("sub/system.txt", "s");
  ASSERT_TRUE(SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(SetFileAttributesA(system.c_str(), FILE_ATTRIBUTE_SYSTEM));
  ASSERT_TRUE(GetFileAttributesA(hidden.c_str()) & FILE_ATTRIBUTE_HIDDEN);
  ASSERT_TRUE(GetFileAttributesA(system.c_str()) & FILE_ATTRIBUTE_SYSTEM);
  std::string busy = scratch_.Write("sub/busy.txt", "being written");
  HANDLE writer = CreateFileA(busy.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  SetBaseDirectory(scratch_.Path().c_str());

  std::vector<SeenDialog> seen = AddDirectoryVia({});
  CloseHandle(writer);

  std::vector<Row> expected = {
      OkRow("a.txt", "abc", "1 K  "),
      OkRow("hidden.txt", "h", "1 K  "),
      OkRow("sub/deeper/c.bin", std::string(5000, 'x'), "5 K  "),
      OkRow("sub/empty.bin", "", "1 K  "),
      OkRow("sub/system.txt", "s", "1 K  "),
  };
  EXPECT_EQ(SortedRows(), expected);
  EXPECT_EQ(seen.size(), 1u);  // the browser; the busy file gave no box
  EXPECT_EQ(MainTitle(), TitleWithCount(5));
  EXPECT_TRUE(IsModified());
  EXPECT_FALSE(BusyFlag);
  EXPECT_EQ(StatusBarText(), "1 file left out: cannot be read");  // the busy file, said once
}

TEST_P(AddingTest, AddingTheSameTreeAgainReadsNoFileAndChangesNothing) {
  scratch_.Write("a.txt", "first");
  scratch_.MakeDir("sub");
  scratch_.Write("sub/b.txt", "second");
  SetBaseDirectory(scratch_.Path().c_str());
  AddDirectoryVia({});
  std::vector<Row> before = Rows();
  ASSERT_EQ(before.size(), 2u);
  scratch_.Write("a.txt", "changed since");
  SetModified(false);

  FileStartWatch watch;
  AddDirectoryVia({});

  EXPECT_TRUE(watch.Names().empty());
  EXPECT_EQ(Rows(), before);
  EXPECT_EQ(SortedRows()[0], OkRow("a.txt", "first", "1 K  "));
  EXPECT_FALSE(IsModified());
}

TEST_P(AddingTest, ListedNameIsCountedAsAddedWithoutReadingTheFile) {
  scratch_.Write("a.txt", "on disk");
  SetBaseDirectory(scratch_.Path().c_str());
  AppendEntry("a.txt", DigestOf("listed").c_str(), 0, -1);
  FileStartWatch watch;
  EXPECT_EQ(AddFileEntry(scratch_.File("a.txt").c_str()), 1);
  EXPECT_TRUE(watch.Names().empty());
  EXPECT_EQ(Rows(), std::vector<Row>({{"a.txt", DigestOf("listed"), "Not Verified", ""}}));
}

TEST_P(AddingTest, NameDifferingOnlyInCaseIsASeparateEntry) {
  scratch_.Write("A.txt", "upper");
  SetBaseDirectory(scratch_.Path().c_str());
  AppendEntry("a.txt", DigestOf("lower").c_str(), 1, 1);

  AddDirectoryVia({});

  std::vector<Row> expected = {OkRow("A.txt", "upper", "1 K  "), OkRow("a.txt", "lower", "1 K  ")};
  EXPECT_EQ(SortedRows(), expected);
}

TEST_P(AddingTest, TitleCountIsRefreshedEveryFiftyFilesAndAtTheEnd) {
  for (int i = 0; i < 120; ++i) scratch_.Write("f" + std::to_string(1000 + i) + ".txt", "x");
  SetBaseDirectory(scratch_.Path().c_str());

  FileStartWatch watch;
  AddDirectoryVia({});

  ASSERT_EQ(watch.Titles().size(), 120u);
  for (int file = 0; file < 120; ++file) {
    // What the title shows as a file starts is the count after the files before it.
    EXPECT_EQ(watch.Titles()[file], TitleWithCount(file / 50 * 50)) << "file " << file + 1;
  }
  EXPECT_EQ(MainTitle(), TitleWithCount(120));
}

TEST_P(AddingTest, StopInsideADeepTreeEndsTheWalkAtEveryLevel) {
  std::string level;
  for (int depth = 0; depth <= 4; ++depth) {
    scratch_.Write(level + "a" + std::to_string(depth) + ".txt", "a");
    scratch_.Write(level + "z" + std::to_string(depth) + ".txt", "z");
    if (depth < 4) scratch_.MakeDir(level + "m");
    level += "m/";
  }
  // The walk follows the file system's order: each level's "z" file comes after its "m".
  ASSERT_EQ(DirectoryListing(scratch_.Path()), (std::vector<std::string>{"a0.txt", "m", "z0.txt"}));
  SetBaseDirectory(scratch_.Path().c_str());

  FileStartWatch watch([](const std::string& text, int) {
    if (text == " a4.txt...") PostStop();
  });
  AddDirectoryVia({});

  ASSERT_FALSE(watch.Names().empty());
  EXPECT_EQ(watch.Names().back(), " a4.txt...");  // no file was started after the stop
  std::vector<std::string> names;
  for (const Row& row : Rows()) names.push_back(row.name);
  EXPECT_EQ(names, (std::vector<std::string>{"a0.txt", "m/a1.txt", "m/m/a2.txt", "m/m/m/a3.txt"}));
  EXPECT_FALSE(BusyFlag);
  EXPECT_EQ(MainTitle(), TitleWithCount(4));
}

// Paths past the system limit need the long-path form to be made and removed.
std::wstring LongForm(const std::string& path) {
  return L"\\\\?\\" + std::wstring(path.begin(), path.end());
}

bool MakeLongFile(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(LongForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return written == bytes.size();
}

// Removes what only the long-path form can reach, before the scratch folder goes.
struct LongPathCleanup {
  std::vector<std::string> files, directories;
  ~LongPathCleanup() {
    for (const std::string& file : files) DeleteFileW(LongForm(file).c_str());
    for (const std::string& directory : directories) RemoveDirectoryW(LongForm(directory).c_str());
  }
};

// Nested folders under root, so the deepest one's path is exactly length characters long.
std::string MakeNestedDirectory(const std::string& root, size_t length) {
  std::string path = root;
  while (path.size() < length) {
    size_t part = std::min<size_t>(60, length - path.size() - 1);
    if (length - path.size() - 1 - part == 1) --part;  // leave room for "\x" at least
    path += "\\" + std::string(part, 'd');
    CreateDirectoryA(path.c_str(), nullptr);
  }
  return path;
}

// A folder of 256 or 257 characters holds files whose paths fit (a name of one or two
// characters), but its listing pattern "folder\*.*" does not: it is listed in the literal form.
TEST_P(AddingTest, FoldersOf256And257CharactersAreListed) {
  std::vector<Row> expected;
  for (size_t length : {256u, 257u}) {
    std::string folder = MakeNestedDirectory(scratch_.MakeDir("n" + std::to_string(length)), length);
    ASSERT_EQ(folder.size(), length);
    ASSERT_EQ(GetFileAttributesA(folder.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    std::string file = folder + "\\f";
    ASSERT_TRUE(MakeLongFile(file, "in a long folder"));
    std::string name = file.substr(scratch_.Path().size() + 1);
    std::replace(name.begin(), name.end(), '\\', '/');
    expected.push_back(OkRow(name, "in a long folder", "1 K  "));
  }
  SetBaseDirectory(scratch_.Path().c_str());

  AddDirectoryVia({});

  EXPECT_EQ(SortedRows(), expected);
  EXPECT_EQ(LeftOut.unlistedFolders, 0);
}

TEST_P(AddingTest, PathsPastTheSystemLimitAreSkippedAndCounted) {
  const size_t kDirectoryLength = 230;
  std::string deep = MakeNestedDirectory(scratch_.Path(), kDirectoryLength);
  ASSERT_EQ(GetFileAttributesA(deep.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  // 259 characters fit with the terminator; 260 do not.
  std::string fitting = deep + "\\" + std::string(259 - kDirectoryLength - 1 - 4, 'k') + ".txt";
  std::string tooLong = deep + "\\" + std::string(260 - kDirectoryLength - 1 - 4, 'n') + ".txt";
  std::string longFolder = deep + "\\" + std::string(40, 'f');
  std::string inner = longFolder + "\\inner.txt";
  LongPathCleanup cleanup{{tooLong, inner}, {longFolder}};
  ASSERT_EQ(fitting.size(), 259u);
  ASSERT_TRUE(MakeLongFile(fitting, "fits"));
  ASSERT_TRUE(MakeLongFile(tooLong, "too long"));
  ASSERT_TRUE(CreateDirectoryW(LongForm(longFolder).c_str(), nullptr));
  ASSERT_TRUE(MakeLongFile(inner, "inside a folder too long"));
  scratch_.Write("top.txt", "top");
  SetBaseDirectory(scratch_.Path().c_str());

  AddDirectoryVia({});

  std::string fittingName = fitting.substr(scratch_.Path().size() + 1);
  std::replace(fittingName.begin(), fittingName.end(), '\\', '/');
  std::vector<Row> expected = {OkRow(fittingName, "fits", "1 K  "), OkRow("top.txt", "top", "1 K  ")};
  EXPECT_EQ(SortedRows(), expected);
  EXPECT_EQ(LeftOut.longPaths, 2);
  EXPECT_EQ(StatusBarText(), "2 files or folders left out: path too long");
}

// A file held open by another program cannot be read; it is left out, and the status bar says
// so at the end. A file that vanished has nothing to protect and is not counted.
TEST_P(AddingTest, FilesThatCannotBeReadAreLeftOutAndCounted) {
  scratch_.Write("a.txt", "a");
  std::string held = scratch_.Write("held.txt", "held");
  scratch_.Write("z.txt", "z");
  HANDLE holder = CreateFileA(held.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  SetBaseDirectory(scratch_.Path().c_str());

  AddDirectoryVia({});
  CloseHandle(holder);

  EXPECT_EQ(SortedRows(), std::vector<Row>({OkRow("a.txt", "a", "1 K  "), OkRow("z.txt", "z", "1 K  ")}));
  EXPECT_EQ(LeftOut.unreadableFiles, 1);
  EXPECT_EQ(StatusBarText(), "1 file left out: cannot be read");
}

// Every file under its real name, whatever its script: the walk lists through the wide functions
// and counts a path's characters as Windows does (83 CJK characters take 253 bytes of UTF-8).
TEST_P(AddingTest, NamesInAnyScriptAreListedWhole) {
  ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8)) << "the manifest's UTF-8 code page is not in force";
  std::string kanji;
  for (int i = 0; i < 83; ++i) kanji += "\xE6\xBC\xA2";
  const std::vector<std::string> names = {
      "caf\xC3\xA9.txt", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt",
      "\xD1\x84\xD0\xBE\xD1\x82\xD0\xBE/\xD1\x81\xD0\xBD\xD0\xB8\xD0\xBC\xD0\xBE\xD0\xBA 1.jpg",
      "emoji \xF0\x9F\x98\x80.txt", kanji + ".txt"};
  scratch_.MakeDir("\xD1\x84\xD0\xBE\xD1\x82\xD0\xBE");
  std::vector<Row> expected;
  for (const std::string& name : names) {
    ASSERT_EQ(ReadWholeFile(scratch_.Write(name, name)), name) << name;
    expected.push_back(OkRow(name, name, "1 K  "));
  }
  std::sort(expected.begin(), expected.end(),
            [](const Row& a, const Row& b) { return a.name < b.name; });
  SetBaseDirectory(scratch_.Path().c_str());

  AddDirectoryVia({});

  EXPECT_EQ(SortedRows(), expected);
  EXPECT_EQ(LeftOut.unreadableFiles, 0);
  EXPECT_EQ(LeftOut.longPaths, 0);
}

// What the walk does with each listed name. Wine's file systems cannot hold an unpaired
// surrogate, so the rule is tested on the name itself.
TEST(WideNames, AnUnpairedSurrogateHasNoFormInTheProcessCodePage) {
  ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8)) << "the manifest's UTF-8 code page is not in force";
  char name[64] = "untouched";
  EXPECT_FALSE(WideToProcessText(L"odd \xD800.txt", name, sizeof name));
  EXPECT_FALSE(WideToProcessText(L"odd \xDE00.txt", name, sizeof name));
  EXPECT_FALSE(WideToProcessText(L"odd \xDE00\xD83D.txt", name, sizeof name));
  ASSERT_TRUE(WideToProcessText(L"pair \xD83D\xDE00.txt", name, sizeof name));
  EXPECT_STREQ(name, "pair \xF0\x9F\x98\x80.txt");
  EXPECT_FALSE(WideToProcessText(L"a name too long for the buffer", name, 8));
}

// Memory that runs out while a tree is added ends nothing: the files are left out, counted, and
// the entries already listed stay.
TEST_P(AddingTest, FilesLeftOutForWantOfMemoryAreCounted) {
  scratch_.Write("a.txt", "a");
  scratch_.Write("b.txt", "b");
  scratch_.Write("c.txt", "c");
  SetBaseDirectory(scratch_.Path().c_str());
  {
    EntryRecordLimit limit(1);
    AddDirectoryVia({});
  }
  EXPECT_EQ(EntryCount(), 1);
  EXPECT_EQ(LeftOut.outOfMemory, 2);
  EXPECT_EQ(StatusBarText(), "2 files left out: out of memory");
  EXPECT_FALSE(BusyFlag);
}

class ChoosingTest : public AddingTest {
 protected:
  // A Base Directory inside the scratch folder, with a file and a folder outside it.
  void SetUp() override {
    AddingTest::SetUp();
    base_ = scratch_.MakeDir("base");
    scratch_.Write("base/inside.txt", "inside");
    outsideFile_ = scratch_.Write("outside.txt", "outside");
    scratch_.MakeDir("other");
    scratch_.Write("other/o.txt", "other");
  }
  std::string base_, outsideFile_;
};

TEST_P(ChoosingTest, BothCommandsNeedABaseDirectory) {
  DialogScript script;
  script.Then(Press(IDOK)).Then(Press(IDOK));
  AddFiles(MainWindow);
  AddDirectory(MainWindow);
  ASSERT_EQ(script.Seen().size(), 2u);  // the two boxes, no file dialog or browser
  for (const SeenDialog& seen : script.Seen()) {
    EXPECT_EQ(seen.title, "Velmora");
    EXPECT_EQ(seen.text, kNoBase);
  }
  EXPECT_EQ(EntryCount(), 0);
}

TEST_P(ChoosingTest, FolderChosenOutsideTheBaseAddsNothing) {
  SetBaseDirectory(base_.c_str());
  std::vector<SeenDialog> seen = AddDirectoryVia({"..", "other"}, {Press(IDOK)});
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].title, "Velmora");
  EXPECT_EQ(seen[1].text, "The selected directory must be UNDER the Base Directory!");
  EXPECT_EQ(EntryCount(), 0);
  EXPECT_FALSE(IsModified());
}

TEST_P(ChoosingTest, FolderBelowTheBaseAddsItsTreeOnly) {
  scratch_.MakeDir("base/part");
  scratch_.Write("base/part/p.txt", "part");
  SetBaseDirectory(base_.c_str());
  AddDirectoryVia({"part"});
  EXPECT_EQ(Rows(), std::vector<Row>({OkRow("part/p.txt", "part", "1 K  ")}));
}

TEST_P(ChoosingTest, OneFileChosenInTheOpenDialogIsAdded) {
  SetBaseDirectory(base_.c_str());
  DialogScript script;
  script.Then(EnterFileName("inside.txt"));
  AddFiles(MainWindow);
  EXPECT_EQ(Rows(), std::vector<Row>({OkRow("inside.txt", "inside", "1 K  ")}));
  EXPECT_EQ(MainTitle(), TitleWithCount(1));
  EXPECT_EQ(script.Unexpected(), 0);
  EXPECT_FALSE(BusyFlag);
}

TEST_P(ChoosingTest, SeveralFilesChosenInTheOpenDialogAreAddedInDialogOrder) {
  scratch_.Write("base/second.txt", "second");
  scratch_.Write("base/third.txt", "third");
  SetBaseDirectory(base_.c_str());
  DialogScript script;
  script.Then(EnterFileName("\"third.txt\" \"inside.txt\" \"second.txt\""));
  AddFiles(MainWindow);
  std::vector<Row> expected = {OkRow("third.txt", "third", "1 K  "),
                               OkRow("inside.txt", "inside", "1 K  "),
                               OkRow("second.txt", "second", "1 K  ")};
  EXPECT_EQ(Rows(), expected);
  EXPECT_EQ(MainTitle(), TitleWithCount(3));
  EXPECT_EQ(script.Unexpected(), 0);
}

// A directory of 250 characters and a name of 9 pass the length test and join to a path of 260:
// it is taken whole (the system cannot open it), never cut to a shorter name, another file.
TEST_P(ChoosingTest, SeveralChosenNamesAreJoinedWithoutCutting) {
  std::string directory = base_ + "\\";
  directory += std::string(250 - directory.size(), 'd');
  ASSERT_TRUE(CreateDirectoryA(directory.c_str(), nullptr)) << directory;
  std::string folder = directory.substr(base_.size() + 1);
  std::string inScratch = directory.substr(scratch_.Path().size() + 1);
  ASSERT_EQ(scratch_.Write(inScratch + "\\abcdefgh", "cut").size(), 259u);
  ASSERT_EQ(ReadWholeFile(scratch_.Write(inScratch + "\\ab", "ab")), "ab");
  ASSERT_EQ(ReadWholeFile(directory + "\\abcdefgh"), "cut");
  std::string whole = directory + "\\abcdefghi";  // 260 characters: beyond the plain form
  LongPathCleanup cleanup{{whole}, {}};
  ASSERT_TRUE(MakeLongFile(whole, "whole"));
  SetBaseDirectory(base_.c_str());
  BeginLongOperation();
  StartCountingAdditions();
  DialogScript script;
  AddSelectedNames(directory.c_str(), std::string("abcdefghi\0ab\0", 13).c_str());
  EndLongOperation();
  for (const SeenDialog& dialog : script.Seen()) ADD_FAILURE() << dialog.text;
  // Read whole under its whole name (Wine opens 260 characters), or left out and counted where
  // the system refuses the path; never the file of the cut name.
  std::vector<Row> rows = Rows();
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows.back(), OkRow(folder + "/ab", "ab", "1 K  "));
  if (rows.size() == 2) {
    EXPECT_EQ(rows[0], OkRow(folder + "/abcdefghi", "whole", "1 K  "));
  } else {
    EXPECT_EQ(rows.size(), 1u);
    EXPECT_EQ(LeftOut.unreadableFiles, 1);
  }
}

// The box for a chosen name comes in its turn, after the files chosen before it are listed, and
// not at all once Stop has ended the addition.
TEST_P(ChoosingTest, BoxesForChosenNamesComeInTheirTurnAndNotAfterStop) {
  scratch_.Write("base/big.bin", std::string(3u << 20, 'b'));
  scratch_.Write("base/small.txt", "small");
  SetBaseDirectory(base_.c_str());
  const std::string names = std::string("big.bin") + '\0' + std::string(250, 'n') + '\0' +
                            "small.txt" + '\0' + '\0';
  auto addNames = [&] {
    BeginLongOperation();
    StartCountingAdditions();
    AddSelectedNames(base_.c_str(), names.c_str());
    EndLongOperation();
  };
  std::vector<bool> bigListedAlone;
  {
    DialogScript script;
    script.Then(CheckThenPress(
        [&](HWND) {
          bigListedAlone.push_back(IsNameListed("big.bin") && !IsNameListed("small.txt"));
        },
        IDOK));
    addNames();
    ASSERT_EQ(script.Seen().size(), 1u);
    EXPECT_EQ(script.Seen()[0].text, "Too long filename");
  }
  EXPECT_EQ(bigListedAlone, std::vector<bool>{true});
  EXPECT_EQ(EntryCount(), 2);

  ClearEntries();
  DialogScript none;
  FileStartWatch watch([](const std::string&, int number) {
    if (number == 1) PostStop();
  });
  addNames();
  EXPECT_TRUE(none.Seen().empty());
  EXPECT_EQ(EntryCount(), 0);
  EXPECT_FALSE(BusyFlag);
}

TEST_P(ChoosingTest, FileChosenOutsideTheBaseIsNamedInTheError) {
  SetBaseDirectory(base_.c_str());
  DialogScript script;
  script.Then(EnterFileName(outsideFile_)).Then(Press(IDOK));
  AddFiles(MainWindow);
  ASSERT_EQ(script.Seen().size(), 2u);
  EXPECT_EQ(script.Seen()[1].title, "Velmora");
  EXPECT_EQ(script.Seen()[1].text, "The file '" + outsideFile_ + "' must be UNDER the Base Directory!");
  EXPECT_EQ(EntryCount(), 0);
  EXPECT_FALSE(BusyFlag);
}

TEST_P(ChoosingTest, CancelledDialogsChangeNothing) {
  SetBaseDirectory(base_.c_str());
  DialogScript script;
  script.Then(Press(IDCANCEL)).Then(Press(IDCANCEL));
  AddFiles(MainWindow);
  AddDirectory(MainWindow);
  EXPECT_EQ(script.Seen().size(), 2u);
  EXPECT_EQ(EntryCount(), 0);
  EXPECT_FALSE(IsModified());
}

INSTANTIATE_TEST_SUITE_P(Readers, AddingTest, ::testing::Values(1, 4));
INSTANTIATE_TEST_SUITE_P(Readers, ChoosingTest, ::testing::Values(1, 4));

}  // namespace
