// The entry list in the real main window: records and column texts together, state images,
// size texts with the locale's separator, sorting (also while files are being read), clearing.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "pump_probe.h"
#include "app/entry_view.h"
#include "app/title.h"
#include "app/verify_commands.h"
#include "resources/resource.h"
#include "summary/document_state.h"
#include "summary/entry_record.h"
#include "test_support.h"

using namespace testsupport;

namespace {

// What the list control shows in a column: it asks the program, so this checks the answer.
std::string Text(int index, int column) {
  char text[300] = "";
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(EntryList, LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
  return text;
}

std::vector<std::string> ItemsWithState(UINT state) {
  std::vector<std::string> names;
  for (int index = ListView_GetNextItem(EntryList, -1, state); index >= 0;
       index = ListView_GetNextItem(EntryList, index, state)) {
    names.push_back(Text(index, kColumnName));
  }
  return names;
}

int StateImage(int index) {
  auto state = static_cast<UINT>(SendMessageA(EntryList, LVM_GETITEMSTATE, index, LVIS_STATEIMAGEMASK));
  return static_cast<int>((state & LVIS_STATEIMAGEMASK) >> 12);
}

// The column texts of every item, top to bottom.
std::vector<std::string> ColumnTexts(int column) {
  std::vector<std::string> texts;
  for (int index = 0; index < EntryCount(); ++index) texts.push_back(Text(index, column));
  return texts;
}

std::string Kb(const std::string& grouped) { return grouped + " K  "; }

// Record and texts of one item must tell the same story.
void ExpectItemMatchesRecord(int index) {
  const SummaryEntry* entry = GetEntry(index);
  ASSERT_NE(entry, nullptr) << index;
  EXPECT_EQ(Text(index, kColumnName), entry->name) << index;
  EXPECT_EQ(Text(index, kColumnDigest), entry->digest) << index;
  EXPECT_EQ(Text(index, kColumnStatus), StatusText(entry->status)) << index;
  EXPECT_EQ(StateImage(index), entry->status + 1) << index;
}

class EntryListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(OpenMainWindow(), nullptr);
    SortColumn = -1;
    SortAscending = true;
  }
  void TearDown() override {
    ClearEntries();
    CloseMainWindow();
  }
};

TEST_F(EntryListTest, AppendedEntryShowsItsRecordInEveryColumn) {
  struct Case {
    const char* name;
    const char* digest;
    int status;
    int32_t sizeKb;
    const char* statusText;
  };
  const Case cases[] = {
      {"a.txt", "00112233445566778899aabbccddeeff", 0, -1, "Not Verified"},
      {"dir/b.bin", "ffeeddccbbaa99887766554433221100", 1, 1, "OK"},
      {"dir/sub/c", "0123456789abcdef0123456789abcdef", 2, 7, "Mismatch"},
      {"d d.txt", "fedcba9876543210fedcba9876543210", 3, -1, "Missing"},
      {"e.dat", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", 4, 12, "Read Error"},
      {"f.iso", "bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb", 5, 999, "Out of memory"},
      {"g.log", "cccccccccccccccccccccccccccccccc", 6, 3, "Interrupted"},
  };
  int index = 0;
  for (const Case& c : cases) {
    SetModified(false);
    AppendEntry(c.name, c.digest, c.status, c.sizeKb);
    EXPECT_TRUE(IsModified()) << c.name;
    ASSERT_EQ(EntryCount(), index + 1);
    const SummaryEntry* entry = GetEntry(index);
    ASSERT_NE(entry, nullptr);
    EXPECT_STREQ(entry->name, c.name);
    EXPECT_STREQ(entry->digest, c.digest);
    EXPECT_EQ(entry->status, c.status);
    EXPECT_EQ(entry->sizeKb, c.sizeKb);
    EXPECT_EQ(Text(index, kColumnName), c.name);
    EXPECT_EQ(Text(index, kColumnDigest), c.digest);
    EXPECT_EQ(Text(index, kColumnStatus), c.statusText);
    EXPECT_EQ(Text(index, kColumnSize), c.sizeKb == -1 ? "" : Kb(std::to_string(c.sizeKb)));
    EXPECT_EQ(StateImage(index), c.status + 1) << c.name;
    ++index;
  }
  EXPECT_EQ(GetEntry(index), nullptr);
  EXPECT_EQ(GetEntry(-1), nullptr);
}

// The columns are shown in another order than they are numbered. A row that a new count
// brings into sight must be drawn again in every column, not only in those that were in
// place before the order was set: the others would stay blank until the list is redrawn.
// The list shows a name of 260 characters whole, whatever its UTF-8 length (780 bytes here),
// as other programs read it: in wide characters.
TEST_F(EntryListTest, NameOf260CharactersInAnyScriptIsShownWhole) {
  ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8)) << "the manifest's UTF-8 code page is not in force";
  std::string name;
  std::wstring wide;
  for (int i = 0; i < 256; ++i) {
    name += "\xE6\xBC\xA2";
    wide += L'\x6F22';
  }
  name += "/a.b";
  wide += L"/a.b";
  AppendEntry(name.c_str(), "0123456789abcdef0123456789abcdef", kStatusOk, 1);
  wchar_t shown[1024] = L"";
  LVITEMW item = {};
  item.iSubItem = kColumnName;
  item.pszText = shown;
  item.cchTextMax = 1024;
  SendMessageW(EntryList, LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(std::wstring(shown), wide);
  // Asked with less room, the text is cut between characters.
  item.cchTextMax = 100;
  SendMessageW(EntryList, LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(std::wstring(shown), wide.substr(0, 99));
}

TEST_F(EntryListTest, NewRowIsDrawnAgainInEveryColumn) {
  UpdateWindow(EntryList);
  AppendEntry("a.txt", "00112233445566778899aabbccddeeff", kStatusOk, 1);
  RECT dirty;
  ASSERT_TRUE(GetUpdateRect(EntryList, &dirty, FALSE));
  RECT client;
  GetClientRect(EntryList, &client);
  for (int column = 0; column < kColumnCount; ++column) {
    RECT cell = {};
    cell.top = column;
    cell.left = LVIR_BOUNDS;
    ASSERT_TRUE(SendMessageA(EntryList, LVM_GETSUBITEMRECT, 0, reinterpret_cast<LPARAM>(&cell)));
    if (column == kColumnName) continue;  // subitem 0 gives the whole row
    RECT shown;
    ASSERT_TRUE(IntersectRect(&shown, &cell, &client)) << column;
    EXPECT_LE(dirty.left, shown.left) << column;
    EXPECT_GE(dirty.right, shown.right) << column;
    EXPECT_LE(dirty.top, shown.top) << column;
    EXPECT_GE(dirty.bottom, shown.bottom) << column;
  }
  UpdateWindow(EntryList);
}

TEST_F(EntryListTest, SettersChangeRecordAndTextTogether) {
  AppendEntry("x/y.txt", "00000000000000000000000000000000", kStatusNotVerified, kNoSize);
  AppendEntry("z.txt", "11111111111111111111111111111111", kStatusNotVerified, kNoSize);
  SetModified(false);
  const char* statusTexts[] = {"Not Verified", "OK",          "Mismatch",   "Missing",
                               "Read Error",   "Out of memory", "Interrupted"};
  for (int status = 0; status <= kStatusInterrupted; ++status) {
    SetEntryStatus(0, status);
    EXPECT_EQ(GetEntry(0)->status, status);
    EXPECT_EQ(Text(0, kColumnStatus), statusTexts[status]);
    EXPECT_EQ(StateImage(0), status + 1);
  }
  SetEntrySize(0, 42);
  EXPECT_EQ(GetEntry(0)->sizeKb, 42);
  EXPECT_EQ(Text(0, kColumnSize), Kb("42"));
  SetEntrySize(0, kNoSize);
  EXPECT_EQ(GetEntry(0)->sizeKb, kNoSize);
  EXPECT_EQ(Text(0, kColumnSize), "");
  SetEntryDigest(0, "9e107d9d372bb6826bd81d3542a419d6");
  EXPECT_STREQ(GetEntry(0)->digest, "9e107d9d372bb6826bd81d3542a419d6");
  EXPECT_EQ(Text(0, kColumnDigest), "9e107d9d372bb6826bd81d3542a419d6");
  // The other entry is left alone.
  EXPECT_EQ(Text(1, kColumnDigest), "11111111111111111111111111111111");
  EXPECT_EQ(Text(1, kColumnStatus), "Not Verified");
  EXPECT_EQ(GetEntry(1)->sizeKb, kNoSize);
  // No item there: nothing to change and nothing breaks.
  SetEntryStatus(5, kStatusOk);
  SetEntrySize(5, 3);
  SetEntryDigest(5, "22222222222222222222222222222222");
  EXPECT_EQ(EntryCount(), 2);
}

TEST_F(EntryListTest, SizeColumnGroupsDigitsWithTheLocaleSeparator) {
  const std::string sep = ThousandsSeparator();
  struct Case {
    int32_t sizeKb;
    std::string text;
  };
  const Case cases[] = {
      {kNoSize, ""},
      {1, Kb("1")},
      {999, Kb("999")},
      {1000, Kb("1" + sep + "000")},
      {65536, Kb("65" + sep + "536")},
      {1234567, Kb("1" + sep + "234" + sep + "567")},
      {-2, Kb("4" + sep + "294" + sep + "967" + sep + "294")},  // every other value is unsigned
  };
  for (const Case& c : cases) {
    AppendEntry("n.txt", "00000000000000000000000000000000", kStatusOk, c.sizeKb);
    EXPECT_EQ(Text(EntryCount() - 1, kColumnSize), c.text) << c.sizeKb;
    SetEntrySize(0, c.sizeKb);
    EXPECT_EQ(Text(0, kColumnSize), c.text) << c.sizeKb;
  }
}

class SortTest : public EntryListTest {
 protected:
  void SetUp() override {
    EntryListTest::SetUp();
    AppendEntry("beta.txt", "cc000000000000000000000000000000", 1, 5);
    AppendEntry("Alpha.txt", "aa000000000000000000000000000000", 3, kNoSize);
    AppendEntry("gamma/Z.bin", "bb000000000000000000000000000000", 0, 1000);
    AppendEntry("delta.dat", "ab000000000000000000000000000000", 2, kNoSize);
    AppendEntry("Epsilon", "ff000000000000000000000000000000", 4, 70000);
    SetModified(false);
  }

  static std::vector<std::string> Reversed(std::vector<std::string> texts) {
    std::reverse(texts.begin(), texts.end());
    return texts;
  }

  static void ExpectEveryItemMatchesItsRecord() {
    for (int index = 0; index < EntryCount(); ++index) ExpectItemMatchesRecord(index);
  }
};

TEST_F(SortTest, EachColumnSortsAscendingThenDescendingOnASecondClick) {
  const std::string sep = ThousandsSeparator();
  struct Case {
    int column;
    std::vector<std::string> ascending;  // the column's texts, top to bottom
  };
  const Case cases[] = {
      {kColumnName, {"Alpha.txt", "beta.txt", "delta.dat", "Epsilon", "gamma/Z.bin"}},
      {kColumnDigest,
       {"aa000000000000000000000000000000", "ab000000000000000000000000000000",
        "bb000000000000000000000000000000", "cc000000000000000000000000000000",
        "ff000000000000000000000000000000"}},
      {kColumnStatus, {"Not Verified", "OK", "Mismatch", "Missing", "Read Error"}},
      {kColumnSize, {Kb("5"), Kb("1" + sep + "000"), Kb("70" + sep + "000"), "", ""}},
  };
  for (const Case& c : cases) {
    SortEntries(c.column);
    EXPECT_EQ(ColumnTexts(c.column), c.ascending) << c.column;
    ExpectEveryItemMatchesItsRecord();
    SortEntries(c.column);
    EXPECT_EQ(ColumnTexts(c.column), Reversed(c.ascending)) << c.column;
    ExpectEveryItemMatchesItsRecord();
    SortEntries(c.column);
    EXPECT_EQ(ColumnTexts(c.column), c.ascending) << c.column;
  }
  EXPECT_FALSE(IsModified());
  EXPECT_EQ(EntryCount(), 5);
}

TEST_F(SortTest, AnotherColumnAfterADescendingSortStartsAscending) {
  SortEntries(kColumnName);
  SortEntries(kColumnName);
  ASSERT_EQ(Text(0, kColumnName), "gamma/Z.bin");
  SortEntries(kColumnStatus);
  EXPECT_EQ(ColumnTexts(kColumnName), (std::vector<std::string>{"gamma/Z.bin", "beta.txt",
                                                                "delta.dat", "Alpha.txt", "Epsilon"}));
}

TEST_F(SortTest, EntryAppendedAfterASortGoesToTheBottom) {
  SortEntries(kColumnName);
  AppendEntry("aaa.txt", "00000000000000000000000000000000", kStatusOk, 2);
  ASSERT_EQ(EntryCount(), 6);
  EXPECT_EQ(Text(5, kColumnName), "aaa.txt");
  EXPECT_STREQ(GetEntry(5)->name, "aaa.txt");
  EXPECT_EQ(Text(0, kColumnName), "Alpha.txt");
}

TEST_F(SortTest, SelectionAndFocusStayWithTheirEntries) {
  ListView_SetItemState(EntryList, 0, LVIS_SELECTED, LVIS_SELECTED);  // beta.txt
  ListView_SetItemState(EntryList, 4, LVIS_SELECTED, LVIS_SELECTED);  // Epsilon
  ListView_SetItemState(EntryList, 3, LVIS_FOCUSED, LVIS_FOCUSED);    // delta.dat
  for (int column : {kColumnName, kColumnName, kColumnSize, kColumnDigest}) {
    SortEntries(column);
    std::vector<std::string> selected = ItemsWithState(LVNI_SELECTED);
    std::sort(selected.begin(), selected.end());
    EXPECT_EQ(selected, (std::vector<std::string>{"Epsilon", "beta.txt"})) << column;
    EXPECT_EQ(ItemsWithState(LVNI_FOCUSED), std::vector<std::string>{"delta.dat"}) << column;
    EXPECT_EQ(SendMessageA(EntryList, LVM_GETSELECTEDCOUNT, 0, 0), 2) << column;
  }
}

TEST_F(SortTest, EverythingSelectedStaysSelectedWithTheFocusOnItsEntry) {
  ListView_SetItemState(EntryList, -1, LVIS_SELECTED, LVIS_SELECTED);
  ListView_SetItemState(EntryList, 2, LVIS_FOCUSED, LVIS_FOCUSED);  // gamma/Z.bin
  for (int column : {kColumnName, kColumnName, kColumnStatus}) {
    SortEntries(column);
    EXPECT_EQ(SendMessageA(EntryList, LVM_GETSELECTEDCOUNT, 0, 0), 5) << column;
    EXPECT_EQ(ItemsWithState(LVNI_FOCUSED), std::vector<std::string>{"gamma/Z.bin"}) << column;
  }
}

TEST_F(SortTest, TypedNamesFindTheirEntryWhateverTheOrder) {
  SortEntries(kColumnSize);
  auto find = [](const char* text, UINT flags) {
    LVFINDINFOA info = {};
    info.flags = flags;
    info.psz = text;
    int index = static_cast<int>(
        SendMessageA(EntryList, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&info)));
    return index < 0 ? std::string("-") : Text(index, kColumnName);
  };
  EXPECT_EQ(find("eps", LVFI_PARTIAL | LVFI_STRING), "Epsilon");
  EXPECT_EQ(find("GAMMA/", LVFI_PARTIAL | LVFI_STRING), "gamma/Z.bin");
  EXPECT_EQ(find("delta.dat", LVFI_STRING), "delta.dat");
  EXPECT_EQ(find("delta", LVFI_STRING), "-");
  EXPECT_EQ(find("zeta", LVFI_PARTIAL | LVFI_STRING), "-");
  // Asked directly, from a start point, with and without wrapping round.
  EXPECT_EQ(FindEntryByName("b", LVFI_PARTIAL | LVFI_WRAP, 1), 0);  // beta.txt is first
  EXPECT_EQ(FindEntryByName("b", LVFI_PARTIAL, 1), -1);
  EXPECT_EQ(FindEntryByName("B", LVFI_PARTIAL, 0), 0);
  EXPECT_EQ(FindEntryByName("b", 0, 0), -1);
}

TEST_F(SortTest, ColumnClickOnTheListSortsByThatColumn) {
  NMLISTVIEW click = {};
  click.hdr.hwndFrom = EntryList;
  click.hdr.idFrom = IDC_ENTRY_LIST;
  click.hdr.code = LVN_COLUMNCLICK;
  click.iItem = -1;
  click.iSubItem = kColumnStatus;
  SendMessageA(MainWindow, WM_NOTIFY, IDC_ENTRY_LIST, reinterpret_cast<LPARAM>(&click));
  EXPECT_EQ(ColumnTexts(kColumnStatus),
            (std::vector<std::string>{"Not Verified", "OK", "Mismatch", "Missing", "Read Error"}));
  SendMessageA(MainWindow, WM_NOTIFY, IDC_ENTRY_LIST, reinterpret_cast<LPARAM>(&click));
  EXPECT_EQ(Text(0, kColumnStatus), "Read Error");
  EXPECT_EQ(Text(4, kColumnStatus), "Not Verified");
  EXPECT_FALSE(IsModified());
}

// Sorting while files are read: every result must reach the entry whose file was read.
class SortWhileReadingTest : public EntryListTest {
 protected:
  struct ListedFile {
    std::string name;
    size_t length;       // 0: no such file
    std::string digest;  // of the content below, computed with md5sum
    std::string size;    // the Size text once read
  };

  void SetUp() override {
    EntryListTest::SetUp();
    const std::string sep = ThousandsSeparator();
    files_ = {
        {"a.bin", 100000, "c751c4ebba60bb18afab02f4ced56b32", Kb("98")},
        {"sub/b.bin", 70000, "f1944737edc510b22ae2910f7b190843", Kb("68")},
        {"gone.bin", 0, "", ""},
        {"c.bin", 3000, "0278a4ee848d7518ad0b3db835f3d5b2", Kb("3")},
        {"d.bin", 200000, "224f347f35d6ebc93480a7edcd4ebefd", Kb("195")},
        {"e.bin", 32768, "29dafa032c89ee8f745aded0a9dec8ba", Kb("32")},
    };
    dir_.MakeDir("sub");
    for (const ListedFile& file : files_) {
      if (file.length) dir_.Write(file.name, Pattern(file.length));
    }
    SetBaseDirectory(dir_.Path().c_str());
  }

  static std::string Pattern(size_t length) {
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>((i * 31 + 7) % 251);
    return bytes;
  }

  const ListedFile& FileNamed(const std::string& name) const {
    for (const ListedFile& file : files_) {
      if (file.name == name) return file;
    }
    ADD_FAILURE() << "unknown entry " << name;
    return files_.front();
  }

  // Sorts by a different column at every pump, turning the list around again and again.
  void SortAtEveryPump() {
    static const int kColumns[] = {kColumnSize, kColumnName, kColumnName, kColumnDigest,
                                   kColumnStatus, kColumnSize, kColumnSize};
    SortEntries(kColumns[sorts_ % (sizeof kColumns / sizeof kColumns[0])]);
    ++sorts_;
  }

  ScratchDir dir_;
  std::vector<ListedFile> files_;
  int sorts_ = 0;
};

TEST_F(SortWhileReadingTest, VerifyResultsReachTheirOwnEntries) {
  for (const ListedFile& file : files_) {
    // b.bin is listed with a wrong digest so one entry is a Mismatch.
    std::string stored = file.name == "sub/b.bin" ? "f1944737edc510b22ae2910f7b190844" : file.digest;
    if (stored.empty()) stored = "00000000000000000000000000000000";
    AppendEntry(file.name.c_str(), stored.c_str(), kStatusNotVerified, kNoSize);
  }
  PumpProbe probe([this](int) { SortAtEveryPump(); });
  ASSERT_TRUE(probe.Ready());
  probe.PostNow();
  VerifyAll(MainWindow);
  EXPECT_GT(sorts_, static_cast<int>(files_.size()));
  ASSERT_EQ(EntryCount(), static_cast<int>(files_.size()));
  for (int index = 0; index < EntryCount(); ++index) {
    const ListedFile& file = FileNamed(Text(index, kColumnName));
    const char* expected = file.length == 0           ? "Missing"
                           : file.name == "sub/b.bin" ? "Mismatch"
                                                      : "OK";
    EXPECT_EQ(Text(index, kColumnStatus), expected) << file.name;
    EXPECT_EQ(Text(index, kColumnSize), file.size) << file.name;
    ExpectItemMatchesRecord(index);
  }
  EXPECT_FALSE(BusyFlag);
}

TEST_F(SortWhileReadingTest, RecalculatedDigestsReachTheirOwnEntries) {
  const char kStale[] = "00000000000000000000000000000000";
  for (const ListedFile& file : files_) {
    AppendEntry(file.name.c_str(), kStale, kStatusNotVerified, kNoSize);
  }
  PumpProbe probe([this](int) { SortAtEveryPump(); });
  ASSERT_TRUE(probe.Ready());
  probe.PostNow();
  RecalculateAll(MainWindow);
  EXPECT_GT(sorts_, static_cast<int>(files_.size()));
  ASSERT_EQ(EntryCount(), static_cast<int>(files_.size()));
  for (int index = 0; index < EntryCount(); ++index) {
    const ListedFile& file = FileNamed(Text(index, kColumnName));
    EXPECT_EQ(Text(index, kColumnStatus), file.length ? "OK" : "Missing") << file.name;
    EXPECT_EQ(Text(index, kColumnDigest), file.length ? file.digest : kStale) << file.name;
    EXPECT_EQ(Text(index, kColumnSize), file.size) << file.name;
    ExpectItemMatchesRecord(index);
  }
}

TEST_F(EntryListTest, ClearingEmptiesTheListAndLeavesTheModifiedFlag) {
  for (bool modified : {false, true}) {
    AppendEntry("one", "00000000000000000000000000000000", kStatusOk, 1);
    AppendEntry("two", "11111111111111111111111111111111", kStatusMissing, kNoSize);
    SetModified(modified);
    ClearEntries();
    EXPECT_EQ(EntryCount(), 0);
    EXPECT_EQ(GetEntry(0), nullptr);
    EXPECT_EQ(IsModified(), modified);
  }
  ClearEntries();  // already empty
  EXPECT_EQ(EntryCount(), 0);
  AppendEntry("three", "22222222222222222222222222222222", kStatusOk, 1);
  ASSERT_EQ(EntryCount(), 1);
  EXPECT_STREQ(GetEntry(0)->name, "three");
}

}  // namespace
