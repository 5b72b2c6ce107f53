// The document's life through the real dialogs: New, Open, load, Save, Save As, the Base
// Directory, the unsaved-changes prompt and closing the window.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/document_commands.h"
#include "app/entry_view.h"
#include "app/folder_browser.h"
#include "app/recent_menu.h"
#include "app/title.h"
#include "common/bounded_text.h"
#include "digest/file_hasher.h"
#include "resources/resource.h"
#include "settings/recent_files_store.h"
#include "summary/document_state.h"
#include "test_support.h"

#include <gtest/gtest-spi.h>

using namespace testsupport;

namespace {

const char kPrompt[] = "The MD5 Summary has been modified. Do you want to save it?";
const char kBaseRefused[] =
    "You can set the Base Directory only when creating or opening a file or when the MD5 "
    "summary is empty!";
const int kBrowserStatusText = 0x3743;
const std::string kA = "0123456789abcdef0123456789abcdef";
const std::string kB = "fedcba9876543210fedcba9876543210";

std::string Line(const std::string& digest, const std::string& name) {
  return digest + " *" + name + "\r\n";
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The folder the browser highlights, as its status text shows it.
std::string BrowserStatus;
// The program asks the browser again, a few times, when a shell ignored its first request to
// highlight the start folder: wait (within the dialog deadline) for the expected folder, and
// record what is highlighted then.
std::function<void(HWND)> RecordBrowserStatus(const std::string& expected) {
  return [expected](HWND browser) {
    PumpUntil([&] { return ItemText(browser, kBrowserStatusText) == expected; },
              kDialogDeadline / 2);
    BrowserStatus = ItemText(browser, kBrowserStatusText);
  };
}

class DocumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CopyText(savedBrowseFolder_, sizeof savedBrowseFolder_, LastBrowseFolder);
    window_ = OpenMainWindow();
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    CloseMainWindow();
    CopyText(LastBrowseFolder, sizeof LastBrowseFolder, savedBrowseFolder_);
  }

  // Two entries, as if just added: modified.
  void AddTwoEntries() {
    AppendEntry("a.txt", kA.c_str(), kStatusOk, 1);
    AppendEntry("b.txt", kB.c_str(), kStatusOk, 1);
    RefreshTitle();
  }

  void ExpectEmptyUntitledWithoutBase() {
    EXPECT_EQ(EntryCount(), 0);
    EXPECT_STREQ(SummaryPath(), "untitled.md5");
    EXPECT_EQ(WindowText(window_), "Velmora - untitled.md5   [0 items]");
    EXPECT_STREQ(BaseDirectory(), "");
    EXPECT_EQ(WindowText(BaseLabel), "  Base Directory: ");
  }

  void ExpectBase(const std::string& directory) {
    EXPECT_EQ(std::string(BaseDirectory()), directory);
    EXPECT_EQ(WindowText(BaseLabel), "  Base Directory: " + directory);
  }

  HWND window_ = nullptr;
  ScratchDir scratch_;
  char savedBrowseFolder_[kPathBufferSize] = "";
};

TEST_F(DocumentTest, NewThenCancelledBrowserLeavesAnEmptyUntitledDocument) {
  SetBaseDirectory("C:\\old base");
  AddTwoEntries();
  SetSummaryPath(scratch_.File("old.md5").c_str());
  SetModified(false);  // nothing to ask about
  CopyText(LastBrowseFolder, sizeof LastBrowseFolder, scratch_.Path().c_str());
  DialogScript script;
  script.Then(Press(IDCANCEL));
  NewSummary(window_);
  ASSERT_EQ(script.Seen().size(), 1u);  // the folder browser only
  EXPECT_EQ(script.Unexpected(), 0);
  ExpectEmptyUntitledWithoutBase();
  EXPECT_FALSE(IsModified());
  EXPECT_EQ(std::string(LastBrowseFolder), scratch_.Path());
}

BOOL CALLBACK FindTreeOf(HWND window, LPARAM found) {
  if (ClassName(window) != "SysTreeView32") return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// The browser highlights its start folder again for a moment in case the shell ignored the first
// request; a folder the user moves to in that moment must stay chosen.
TEST_F(DocumentTest, FolderBrowserNeverTakesBackTheUsersChoice) {
  std::string chosenByUser;
  DialogScript script;
  script.Then([&](HWND browser) {
    ASSERT_TRUE(PumpUntil([&] { return ItemText(browser, kBrowserStatusText) == scratch_.Path(); },
                          kDialogDeadline / 2));
    HWND tree = nullptr;
    EnumChildWindows(browser, FindTreeOf, reinterpret_cast<LPARAM>(&tree));
    ASSERT_NE(tree, nullptr);
    SendMessageA(tree, WM_KEYDOWN, VK_UP, 0);  // the user moves one folder up the tree
    chosenByUser = ItemText(browser, kBrowserStatusText);
    PumpFor(700);  // longer than the start folder is asked for again
    EXPECT_EQ(ItemText(browser, kBrowserStatusText), chosenByUser);
    PostMessageA(browser, WM_COMMAND, IDOK, 0);
  });
  char path[MAX_PATH];
  CopyText(path, sizeof path, scratch_.Path().c_str());
  ASSERT_TRUE(ChooseFolder(window_, "Choose", path, sizeof path));
  EXPECT_NE(chosenByUser, scratch_.Path());
  EXPECT_EQ(std::string(path), chosenByUser);
}

TEST_F(DocumentTest, NewThenOkTakesTheLastBrowseFolder) {
  CopyText(LastBrowseFolder, sizeof LastBrowseFolder, scratch_.Path().c_str());
  BrowserStatus.clear();
  DialogScript script;
  script.Then(CheckThenPress(RecordBrowserStatus(scratch_.Path()), IDOK));
  NewSummary(window_);
  EXPECT_EQ(script.Unexpected(), 0);
  EXPECT_EQ(BrowserStatus, scratch_.Path());
  ExpectBase(scratch_.Path());
  EXPECT_EQ(WindowText(window_), "Velmora - untitled.md5   [0 items]");
}

// The dialogs hand over paths of 260 characters whatever their UTF-8 length: here 154
// characters that take about 400 bytes, more than the ANSI dialogs hold.
TEST_F(DocumentTest, SaveAsAndOpenTakePathsLongerInUtf8ThanAnAnsiBuffer) {
  ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8)) << "the manifest's UTF-8 code page is not in force";
  std::string kanji;
  for (int i = 0; i < 60; ++i) kanji += "\xE6\xBC\xA2";
  std::string folder = scratch_.MakeDir(kanji) + "\\" + kanji;
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << GetLastError();
  const std::string path = folder + "\\s.md5";
  ASSERT_GT(path.size(), 300u);
  AddTwoEntries();
  DialogScript script;
  script.Then(EnterFileName(path));
  SaveSummaryAs(window_);
  EXPECT_EQ(script.Unexpected(), 0);
  EXPECT_EQ(ReadWholeFile(path), Line(kA, "a.txt") + Line(kB, "b.txt"));
  EXPECT_EQ(std::string(SummaryPath()), path);
  EXPECT_EQ(std::string(RecentFilePath(0)), path);

  ClearEntries();
  SetModified(false);
  script.Then(EnterFileName(path)).Then(Press(IDCANCEL));  // then the Base Directory browser
  OpenSummary(window_, nullptr);
  EXPECT_EQ(script.Unexpected(), 0);
  EXPECT_EQ(EntryCount(), 2);
  EXPECT_EQ(WindowText(window_), "Velmora - s.md5   [2 items]");
}

TEST_F(DocumentTest, OpenThroughTheDialogsLoadsTitlesRecordsAndAnchors) {
  std::string path = scratch_.Write("x.md5", Line(kA, "one.txt") + Line(kB, "sub/two.txt") +
                                                 Line(kA, "three.txt"));
  BrowserStatus.clear();
  DialogScript script;
  script.Then(EnterFileName(path)).Then(CheckThenPress(RecordBrowserStatus(scratch_.Path()), IDOK));
  OpenSummary(window_, nullptr);
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(script.Unexpected(), 0);
  EXPECT_EQ(EntryCount(), 3);
  EXPECT_EQ(WindowText(window_), "Velmora - x.md5   [3 items]");
  EXPECT_EQ(std::string(SummaryPath()), path);
  EXPECT_EQ(std::string(RecentFilePath(0)), path);
  EXPECT_FALSE(IsModified());
  EXPECT_EQ(BrowserStatus, scratch_.Path());  // the browser offered the summary's folder
  ExpectBase(scratch_.Path());
  EXPECT_EQ(std::string(LastBrowseFolder), scratch_.Path());
}

TEST_F(DocumentTest, LoadingAMissingFileLeavesAnEmptyUntitledDocument) {
  AddRecentFile("C:\\kept\\recent.md5");
  SetBaseDirectory("C:\\old base");
  AddTwoEntries();
  SetSummaryPath(scratch_.File("old.md5").c_str());
  SetModified(false);
  int recentBefore = RecentFileCount();
  DialogScript script;
  script.Then(Press(IDOK));
  LoadSummary(window_, scratch_.File("gone.md5").c_str(), nullptr);
  ASSERT_EQ(script.Seen().size(), 1u);  // no folder browser after a failed load
  EXPECT_EQ(script.Seen()[0].text, "Cannot open MD5 file");
  ExpectEmptyUntitledWithoutBase();
  EXPECT_FALSE(IsModified());
  EXPECT_EQ(RecentFileCount(), recentBefore);
  EXPECT_STREQ(RecentFilePath(0), "C:\\kept\\recent.md5");
}

TEST_F(DocumentTest, PromptAnswersNoAndCancel) {
  AddTwoEntries();
  {
    DialogScript script;
    script.Then(Press(IDNO));
    EXPECT_TRUE(ConfirmDiscard(window_));
    ASSERT_EQ(script.Seen().size(), 1u);
    EXPECT_EQ(script.Seen()[0].title, "Velmora");
    EXPECT_EQ(script.Seen()[0].text, kPrompt);
    EXPECT_TRUE(IsModified());
  }
  {
    DialogScript script;
    script.Then(Press(IDCANCEL));
    EXPECT_FALSE(ConfirmDiscard(window_));
    ASSERT_EQ(script.Seen().size(), 1u);
    EXPECT_EQ(script.Seen()[0].text, kPrompt);
  }
  {
    SetModified(false);
    DialogScript script;
    EXPECT_TRUE(ConfirmDiscard(window_));  // saved documents are not asked about
    EXPECT_TRUE(script.Seen().empty());
  }
}

TEST_F(DocumentTest, PromptYesOnAnUntitledDocumentStopsWhenSaveAsIsCancelled) {
  AddTwoEntries();
  DialogScript script;
  script.Then(Press(IDYES)).Then(Press(IDCANCEL));
  EXPECT_FALSE(ConfirmDiscard(window_));
  ASSERT_EQ(script.Seen().size(), 2u);  // the prompt, then the Save dialog
  EXPECT_EQ(script.Unexpected(), 0);
  EXPECT_TRUE(IsModified());
  EXPECT_STREQ(SummaryPath(), "untitled.md5");
}

TEST_F(DocumentTest, PromptYesOnANamedDocumentSavesIt) {
  std::string path = scratch_.File("named.md5");
  AddTwoEntries();
  SetSummaryPath(path.c_str());
  DialogScript script;
  script.Then(Press(IDYES));
  EXPECT_TRUE(ConfirmDiscard(window_));
  EXPECT_EQ(script.Seen().size(), 1u);
  EXPECT_EQ(script.Unexpected(), 0);
  EXPECT_FALSE(IsModified());
  EXPECT_EQ(ReadWholeFile(path), Line(kA, "a.txt") + Line(kB, "b.txt"));
}

TEST_F(DocumentTest, ModifiedButEmptiedDocumentIsNotAskedAbout) {
  AddTwoEntries();
  ClearEntries();
  ASSERT_TRUE(IsModified());
  DialogScript script;
  script.Then(Press(IDCANCEL));  // the folder browser of New
  NewSummary(window_);
  ASSERT_EQ(script.Seen().size(), 1u);
  EXPECT_NE(script.Seen()[0].text, kPrompt);
  EXPECT_NE(script.Seen()[0].title, "Velmora");
}

TEST_F(DocumentTest, AFileNamedUntitledIsSavedInPlaceWithoutADialog) {
  std::string path = scratch_.Write("untitled.md5", Line(kA, "one.txt"));
  DialogScript script;
  LoadSummary(window_, path.c_str(), scratch_.Path().c_str());  // given folder: no browser
  EXPECT_EQ(WindowText(window_), "Velmora - untitled.md5   [1 items]");
  EXPECT_EQ(std::string(SummaryPath()), path);
  AppendEntry("two.txt", kB.c_str(), kStatusOk, 1);
  SaveSummary(window_);
  EXPECT_TRUE(script.Seen().empty());
  EXPECT_FALSE(IsModified());
  EXPECT_EQ(ReadWholeFile(path), Line(kA, "one.txt") + Line(kB, "two.txt"));
}

TEST_F(DocumentTest, TheBareUntitledNameAsksForANameInstead) {
  AddTwoEntries();
  DialogScript script;
  script.Then(Press(IDCANCEL));
  SaveSummary(window_);
  ASSERT_EQ(script.Seen().size(), 1u);  // the Save dialog
  EXPECT_EQ(script.Unexpected(), 0);
  EXPECT_TRUE(IsModified());
}

TEST_F(DocumentTest, SaveAsWritesTitlesAndRecordsTheChosenFile) {
  AddTwoEntries();
  std::string path = scratch_.File("saved.md5");
  DialogScript script;
  script.Then(EnterFileName(path));
  SaveSummaryAs(window_);
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(script.Unexpected(), 0);
  EXPECT_EQ(ReadWholeFile(path), Line(kA, "a.txt") + Line(kB, "b.txt"));
  EXPECT_EQ(WindowText(window_), "Velmora - saved.md5   [2 items]");
  EXPECT_EQ(std::string(SummaryPath()), path);
  EXPECT_EQ(std::string(RecentFilePath(0)), path);
  EXPECT_FALSE(IsModified());
}

TEST_F(DocumentTest, SaveAsOverAnExistingFileAsksFirst) {
  std::string path = scratch_.Write("existing.md5", "old");
  AddTwoEntries();
  DialogScript script;
  script.Then(EnterFileName(path)).Then(Press(IDYES));
  SaveSummaryAs(window_);
  EXPECT_EQ(script.Seen().size(), 2u);  // the Save dialog and its overwrite question
  EXPECT_EQ(script.Unexpected(), 0);
  EXPECT_EQ(ReadWholeFile(path), Line(kA, "a.txt") + Line(kB, "b.txt"));
}

// A scripted answer that a dialog ignores (here a button the box lacks; in practice a file name
// the Open dialog refuses) fails the test with what the dialog showed, within seconds.
TEST(DialogScriptDeadline, ADialogThatIgnoresItsAnswerFailsTheTestAndIsClosed) {
  const DWORD deadline = 300;
  DialogScript script(deadline);
  script.Then(Press(4321));
  DWORD start = GetTickCount();
  EXPECT_NONFATAL_FAILURE(MessageBoxA(nullptr, "This box stays open", "Stubborn", MB_OK),
                          "This box stays open");
  EXPECT_LT(GetTickCount() - start, deadline + 2000);
}

TEST_F(DocumentTest, SavingAnEmptyListOnlyBeeps) {
  std::string path = scratch_.File("never.md5");
  SetSummaryPath(path.c_str());
  SetModified(true);
  DialogScript script;
  SaveSummary(window_);
  SaveSummaryAs(window_);
  PumpFor(100);
  EXPECT_TRUE(script.Seen().empty());
  EXPECT_EQ(script.Unexpected(), 0);
  EXPECT_FALSE(Exists(path));
  EXPECT_TRUE(IsModified());
}

TEST_F(DocumentTest, BaseDirectoryIsRefusedWhileEntriesHangOnIt) {
  SetBaseDirectory("C:\\first");
  CopyText(LastBrowseFolder, sizeof LastBrowseFolder, "C:\\browse");
  AddTwoEntries();
  DialogScript script;
  script.Then(Press(IDOK));
  ChooseBaseDirectory(window_, nullptr, "C:\\second");
  ASSERT_EQ(script.Seen().size(), 1u);
  EXPECT_EQ(script.Seen()[0].title, "Velmora");
  EXPECT_EQ(script.Seen()[0].text, kBaseRefused);
  ExpectBase("C:\\first");
  EXPECT_STREQ(LastBrowseFolder, "C:\\browse");
}

TEST_F(DocumentTest, GivenDirectoriesOnAnEmptyList) {
  SetBaseDirectory("C:\\first");
  DialogScript script;
  ChooseBaseDirectory(window_, nullptr, "C:\\no such\\place");  // taken as given, never checked
  ExpectBase("C:\\no such\\place");
  EXPECT_STREQ(LastBrowseFolder, "C:\\no such\\place");
  ChooseBaseDirectory(window_, nullptr, "");  // an empty directory changes nothing
  ExpectBase("C:\\no such\\place");
  EXPECT_STREQ(LastBrowseFolder, "C:\\no such\\place");
  EXPECT_TRUE(script.Seen().empty());
}

TEST_F(DocumentTest, BrowserOnAnEmptyListStartsAtTheLastBrowseFolder) {
  std::string other = scratch_.MakeDir("other");
  SetBaseDirectory(other.c_str());
  CopyText(LastBrowseFolder, sizeof LastBrowseFolder, scratch_.Path().c_str());
  DialogScript script;
  script.Then(Press(IDCANCEL)).Then(Press(IDOK));
  ChooseBaseDirectory(window_, nullptr, nullptr);
  ExpectBase(other);  // cancelled: kept
  EXPECT_EQ(std::string(LastBrowseFolder), scratch_.Path());
  ChooseBaseDirectory(window_, nullptr, nullptr);
  EXPECT_EQ(script.Unexpected(), 0);
  ExpectBase(scratch_.Path());  // replaced by the browser's starting folder
}

TEST_F(DocumentTest, ClosingTheWindowAsksFirst) {
  AddTwoEntries();
  {
    DialogScript script;
    script.Then(Press(IDCANCEL));
    SendMessageA(window_, WM_CLOSE, 0, 0);
    ASSERT_EQ(script.Seen().size(), 1u);
    EXPECT_EQ(script.Seen()[0].text, kPrompt);
    EXPECT_TRUE(IsWindow(window_));
    EXPECT_EQ(EntryCount(), 2);
  }
  {
    DialogScript script;
    script.Then(Press(IDNO));
    SendMessageA(window_, WM_CLOSE, 0, 0);
    ASSERT_EQ(script.Seen().size(), 1u);
    EXPECT_EQ(script.Seen()[0].text, kPrompt);
    EXPECT_FALSE(IsWindow(window_));
  }
  PumpFor(20);  // drops the quit message the destruction posted
}

// Windows ending the session asks as closing does: Cancel and a Save As that does not happen
// refuse the end, No lets it come, and the end itself closes without a further question.
TEST_F(DocumentTest, EndOfTheSessionAsksAsClosingDoes) {
  AddTwoEntries();
  struct Case {
    std::vector<int> answers;  // the prompt's, then the Save dialog's
    LRESULT expected;
  };
  const Case cases[] = {{{IDCANCEL}, FALSE}, {{IDYES, IDCANCEL}, FALSE}, {{IDNO}, TRUE}};
  for (const Case& c : cases) {
    DialogScript script;
    for (int answer : c.answers) script.Then(Press(answer));
    EXPECT_EQ(SendMessageA(window_, WM_QUERYENDSESSION, 0, 0), c.expected) << c.answers[0];
    ASSERT_EQ(script.Seen().size(), c.answers.size()) << c.answers[0];
    EXPECT_EQ(script.Seen()[0].text, kPrompt);
    EXPECT_TRUE(IsModified());
  }
  SendMessageA(window_, WM_ENDSESSION, FALSE, 0);  // the session goes on
  EXPECT_TRUE(IsWindow(window_));
  DialogScript none;
  SendMessageA(window_, WM_ENDSESSION, TRUE, 0);
  EXPECT_TRUE(none.Seen().empty());
  EXPECT_FALSE(IsWindow(window_));
  PumpFor(20);  // drops the quit message the destruction posted
}

// Lines that give no entry are counted and told, and saving over their file asks first: the
// other tool's lines, a digest of another length, a mode marker that is neither. Empty lines are
// not lost, so they are not counted.
TEST_F(DocumentTest, LinesNotReadAreToldAndSavingOverThemAsks) {
  const std::string path = scratch_.File("mixed.md5");
  const std::string other = "SHA256 (x.txt) = " + kA + kA + "\r\n";
  const std::string bytes = Line(kA, "a.txt") + other + "\r\n" + kA + "00 *long.txt\r\n" +
                            kB + " ?odd.txt\r\n" + Line(kB, "b.txt");
  WriteFileWhole(path, bytes);
  {
    DialogScript script;
    script.Then(Press(IDOK)).Then(Press(IDCANCEL));  // "Unrecognized line", then the browser
    LoadSummary(window_, path.c_str(), nullptr);
    ASSERT_EQ(script.Seen().size(), 2u);
    EXPECT_EQ(script.Seen()[0].text, "Unrecognized line");
  }
  EXPECT_EQ(EntryCount(), 2);
  EXPECT_EQ(StatusBarText(), "3 lines not read");
  AppendEntry("c.txt", kA.c_str(), kStatusOk, 1);
  const char kQuestion[] =
      "3 lines of this summary could not be read and will not be written. Save anyway?";
  {
    DialogScript script;
    script.Then(Press(IDNO));
    SaveSummary(window_);
    ASSERT_EQ(script.Seen().size(), 1u);
    EXPECT_EQ(script.Seen()[0].text, kQuestion);
    EXPECT_EQ(ReadWholeFile(path), bytes);  // nothing written
    EXPECT_TRUE(IsModified());
  }
  {
    DialogScript script;
    script.Then(Press(IDYES));
    SaveSummary(window_);
    EXPECT_EQ(script.Seen().size(), 1u);
    EXPECT_EQ(ReadWholeFile(path), Line(kA, "a.txt") + Line(kB, "b.txt") + Line(kA, "c.txt"));
    EXPECT_FALSE(IsModified());
  }
  AppendEntry("d.txt", kB.c_str(), kStatusOk, 1);
  DialogScript none;  // answered once: not asked again
  SaveSummary(window_);
  EXPECT_TRUE(none.Seen().empty());
  EXPECT_FALSE(IsModified());

  WriteFileWhole(path, Line(kA, "a.txt") + other);
  LoadSummary(window_, path.c_str(), scratch_.Path().c_str());
  EXPECT_EQ(StatusBarText(), "1 line not read");
  AppendEntry("e.txt", kB.c_str(), kStatusOk, 1);
  const std::string elsewhere = scratch_.File("elsewhere.md5");
  {
    DialogScript script;  // another file loses nothing: no question
    script.Then(EnterFileName(elsewhere));
    SaveSummaryAs(window_);
    EXPECT_EQ(script.Seen().size(), 1u);
  }
  EXPECT_EQ(ReadWholeFile(elsewhere), Line(kA, "a.txt") + Line(kB, "e.txt"));
  EXPECT_EQ(ReadWholeFile(path), Line(kA, "a.txt") + other);
}

std::string DigestColumnTitle() {
  char title[64] = "";
  LVCOLUMNA column = {};
  column.mask = LVCF_TEXT;
  column.pszText = title;
  column.cchTextMax = sizeof title;
  SendMessageA(EntryList, LVM_GETCOLUMNA, kColumnDigest, reinterpret_cast<LPARAM>(&column));
  return title;
}

bool MenuItemHas(int id, UINT flag) {
  return (GetMenuState(MainMenu, id, MF_BYCOMMAND) & flag) == flag;
}

// Edit > Digest chooses the kind of a new summary while the list is empty, and New takes it
// again later; the kind's name shows in the title, the digest column and the messages, and a
// kind that cannot be computed here is grey.
TEST_F(DocumentTest, TheDigestMenuChoosesTheKindOfANewSummary) {
  WritePrivateProfileStringA("Misc", "digest", nullptr, "dorvex.ini");
  const int md5Width = static_cast<int>(SendMessageA(EntryList, LVM_GETCOLUMNWIDTH, 1, 0));
  SendMessageA(window_, WM_COMMAND, IDM_DIGEST_SHA256, 0);
  EXPECT_EQ(DocumentDigestKind(), DigestKind::kSha256);
  EXPECT_EQ(WindowText(window_), "Velmora - untitled.sha256   [0 items]");
  EXPECT_EQ(DigestColumnTitle(), "SHA-256 Summary");
  EXPECT_GT(SendMessageA(EntryList, LVM_GETCOLUMNWIDTH, 1, 0), 3 * md5Width / 2);
  EXPECT_TRUE(MenuItemHas(IDM_DIGEST_SHA256, MF_CHECKED));
  EXPECT_FALSE(MenuItemHas(IDM_DIGEST_MD5, MF_CHECKED));
  char remembered[16] = "";
  GetPrivateProfileStringA("Misc", "digest", "", remembered, sizeof remembered, "dorvex.ini");
  EXPECT_STREQ(remembered, "sha256");

  AppendEntry("a.txt", (kA + kA).c_str(), kStatusOk, 1);  // the kind now goes with the entries
  RefreshCommandState();
  EXPECT_TRUE(MenuItemHas(IDM_DIGEST_MD5, MF_GRAYED));
  SendMessageA(window_, WM_COMMAND, IDM_DIGEST_MD5, 0);
  EXPECT_EQ(DocumentDigestKind(), DigestKind::kSha256);
  {
    DialogScript script;
    script.Then(Press(IDCANCEL));
    EXPECT_FALSE(ConfirmDiscard(window_));
    ASSERT_EQ(script.Seen().size(), 1u);
    EXPECT_EQ(script.Seen()[0].text, "The SHA-256 Summary has been modified. Do you want to save it?");
  }
  ClearEntries();
  SetModified(false);
  SetDocumentDigestKind(DigestKind::kMd5);
  {
    DialogScript script;
    script.Then(Press(IDCANCEL));  // the browser
    NewSummary(window_);
  }
  EXPECT_EQ(DocumentDigestKind(), DigestKind::kSha256);  // as chosen last
  EXPECT_STREQ(SummaryPath(), "untitled.sha256");
  {
    DialogScript script;
    script.Then(Press(IDOK));
    LoadSummary(window_, scratch_.File("gone.sha512").c_str(), nullptr);
    ASSERT_EQ(script.Seen().size(), 1u);
    EXPECT_EQ(script.Seen()[0].text, "Cannot open SHA-512 file");
  }

  SetKindUnavailableForTests(DigestKind::kSha1, true);
  RefreshCommandState();
  EXPECT_TRUE(MenuItemHas(IDM_DIGEST_SHA1, MF_GRAYED));
  SendMessageA(window_, WM_COMMAND, IDM_DIGEST_SHA1, 0);
  EXPECT_NE(DocumentDigestKind(), DigestKind::kSha1);
  const std::string sha1 = scratch_.File("unusable.sha1");
  WriteFileWhole(sha1, "a9993e364706816aba3e25717850c26c9cd0d89d *abc.txt\r\n");
  AddTwoEntries();
  {
    DialogScript script;
    script.Then(Press(IDOK));
    LoadSummary(window_, sha1.c_str(), nullptr);
    ASSERT_EQ(script.Seen().size(), 1u);
    EXPECT_EQ(script.Seen()[0].text, "SHA-1 is not available on this system");
  }
  EXPECT_EQ(EntryCount(), 2);  // the document as it was
  EXPECT_TRUE(IsModified());
  ClearEntries();
  SetKindUnavailableForTests(DigestKind::kSha1, false);
  WritePrivateProfileStringA("Misc", "digest", nullptr, "dorvex.ini");
}

}  // namespace
