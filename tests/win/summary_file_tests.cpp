// Summary files end to end: the reader filling the real entry list, the writer producing the
// bytes on disk, and what the user sees when either fails.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/entry_view.h"
#include "app/title.h"
#include "known_digests.h"
#include "summary/adding.h"
#include "summary/document_state.h"
#include "summary/summary_file.h"
#include "summary/verify.h"
#include "test_support.h"

using namespace testsupport;

namespace {

const std::string kA = "0123456789abcdef0123456789abcdef";
const std::string kB = "fedcba9876543210fedcba9876543210";
const std::string kC = "00112233445566778899aabbccddeeff";
const std::string kD = "d41d8cd98f00b204e9800998ecf8427e";

std::vector<std::string> ColumnTexts(int column) {
  std::vector<std::string> texts;
  for (int index = 0; index < EntryCount(); ++index) {
    char text[512] = "";
    GetEntryText(index, column, text, sizeof text);
    texts.push_back(text);
  }
  return texts;
}

std::vector<std::string> FilesIn(const std::string& directory) {
  std::vector<std::string> names = DirectoryListing(directory);
  std::sort(names.begin(), names.end());
  return names;
}

std::string Line(const std::string& digest, const std::string& name) {
  return digest + " *" + name + "\r\n";
}

class SummaryFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = OpenMainWindow();
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override { CloseMainWindow(); }

  // Reads with no dialog expected; any box that opens is cancelled and fails the test.
  void ReadQuietly(const std::string& path) {
    DialogScript script;
    EXPECT_TRUE(ReadSummaryFile(path.c_str()));
    EXPECT_TRUE(script.Seen().empty()) << script.Seen()[0].text;
  }

  // Every entry a reader adds is unverified and has no size.
  void ExpectAllNotVerifiedWithoutSize() {
    for (int index = 0; index < EntryCount(); ++index) {
      ASSERT_NE(GetEntry(index), nullptr);
      EXPECT_EQ(GetEntry(index)->status, kStatusNotVerified) << index;
      EXPECT_EQ(GetEntry(index)->sizeKb, -1) << index;
    }
    for (const std::string& status : ColumnTexts(kColumnStatus)) EXPECT_EQ(status, "Not Verified");
    for (const std::string& size : ColumnTexts(kColumnSize)) EXPECT_EQ(size, "");
  }

  // The write fails with the one error box, the flag stays set and the folder is as before.
  void ExpectFailedWrite(const std::string& target, const std::vector<std::string>& before) {
    AppendEntry("a.txt", kA.c_str(), kStatusOk, 1);
    ASSERT_TRUE(IsModified());
    DialogScript script;
    script.Then(Press(IDOK));
    EXPECT_FALSE(WriteSummaryFile(target.c_str()));
    ASSERT_EQ(script.Seen().size(), 1u);
    EXPECT_EQ(script.Seen()[0].title, "Velmora");
    EXPECT_EQ(script.Seen()[0].text, "Cannot write to output file");
    EXPECT_TRUE(IsModified());
    EXPECT_EQ(FilesIn(scratch_.Path()), before);  // no temporary file left behind
  }

  HWND window_ = nullptr;
  ScratchDir scratch_;
};

TEST_F(SummaryFileTest, ReaderKeepsAcceptedLinesAndSkipsTheOthersSilently) {
  std::string longest(260, 'm');
  std::string bytes = kA + " *plain.txt\r\n" +                           // asterisk, CR LF
                      kB + "  text mode.txt\n" +                         // blank marker, LF
                      "\r\n\n" +                                         // empty lines
                      kC + " *dir\\sub\\file.bin\r\n" +                  // backslashes
                      "0123456789ABCDEF0123456789ABCDEF *upper.txt\n" +  // capitals: lowercase
                      kA + "*glued.txt\n" + kA + " *x\n" + kA + " *" + std::string(261, 'n') +
                      "\n" + kD + " *trailing  \r\n" +  // trailing blanks are the name's
                      kA + " *plain.txt\n" +            // same name again
                      kB + " *" + longest + "\r\n" + kC + " *last line";  // no line end
  ReadQuietly(scratch_.Write("mixed.md5", bytes));
  EXPECT_EQ(ColumnTexts(kColumnName),
            (std::vector<std::string>{"plain.txt", "text mode.txt", "dir/sub/file.bin", "upper.txt",
                                      "x", "trailing  ", "plain.txt", longest, "last line"}));
  EXPECT_EQ(ColumnTexts(kColumnDigest),
            (std::vector<std::string>{kA, kB, kC, kA, kA, kD, kA, kB, kC}));
  ExpectAllNotVerifiedWithoutSize();
}

TEST_F(SummaryFileTest, OpeningOutcomes) {
  ReadQuietly(scratch_.Write("empty.md5", ""));
  EXPECT_EQ(EntryCount(), 0);

  DialogScript script;
  script.Then(Press(IDOK));
  EXPECT_FALSE(ReadSummaryFile(scratch_.File("absent.md5").c_str()));
  ASSERT_EQ(script.Seen().size(), 1u);
  EXPECT_EQ(script.Seen()[0].text, "Cannot open MD5 file");
  EXPECT_EQ(EntryCount(), 0);
}

TEST_F(SummaryFileTest, UnknownMarkerShowsOneBoxAndLaterLinesAreRead) {
  std::string bytes = Line(kA, "before.txt") + kB + " ?odd.txt\r\n" + Line(kC, "after.txt");
  std::string path = scratch_.Write("marker.md5", bytes);
  DialogScript script;
  script.Then(Press(IDOK));
  EXPECT_TRUE(ReadSummaryFile(path.c_str()));
  ASSERT_EQ(script.Seen().size(), 1u);
  EXPECT_EQ(script.Seen()[0].title, "Velmora");
  EXPECT_EQ(script.Seen()[0].text, "Unrecognized line");
  EXPECT_EQ(script.Unexpected(), 0);
  EXPECT_EQ(ColumnTexts(kColumnName), (std::vector<std::string>{"before.txt", "after.txt"}));
}

TEST_F(SummaryFileTest, BinaryGarbageAndAHugeLineDoNotHideTheGoodLines) {
  std::string garbage;
  unsigned state = 12345;
  for (int i = 0; i < 65536; ++i) {
    state = state * 1103515245u + 12345u;
    char byte = static_cast<char>((state >> 16) & 0xFF);
    // Ctrl-Z is left out: whether it ends a stream is the C library's business, not this test's.
    garbage.push_back(byte == '\x1a' ? '\0' : byte);
    if (i % 97 == 0) garbage.push_back('\0');
  }
  std::string bytes = garbage + "\n" + Line(kA, "after garbage.bin") +
                      kB + " *" + std::string(100 * 1024, 'a') + "\r\n" +
                      Line(kC, "after long line.bin") +
                      kD + " *na" + std::string(1, '\0') + "me.txt\r\n";  // a NUL ends the name
  ReadQuietly(scratch_.Write("garbage.md5", bytes));
  EXPECT_EQ(ColumnTexts(kColumnName),
            (std::vector<std::string>{"after garbage.bin", "after long line.bin", "na"}));
  EXPECT_EQ(ColumnTexts(kColumnDigest), (std::vector<std::string>{kA, kC, kD}));
}

TEST_F(SummaryFileTest, FiveThousandLinesAllArrive) {
  const int count = 5000;
  std::string bytes;
  for (int i = 0; i < count; ++i) {
    char line[80];
    std::snprintf(line, sizeof line, "%08x%08x%08x%08x *f%04d.dat\r\n", i, i * 7, i * 13, i * 31,
                  i);
    bytes += line;
  }
  ReadQuietly(scratch_.Write("many.md5", bytes));
  ASSERT_EQ(EntryCount(), count);
  std::vector<std::string> names = ColumnTexts(kColumnName);
  std::vector<std::string> digests = ColumnTexts(kColumnDigest);
  for (int i = 0; i < count; i += 499) {
    char name[16];
    char digest[40];
    std::snprintf(name, sizeof name, "f%04d.dat", i);
    std::snprintf(digest, sizeof digest, "%08x%08x%08x%08x", i, i * 7, i * 13, i * 31);
    EXPECT_EQ(names[i], name);
    EXPECT_EQ(digests[i], digest);
  }
  EXPECT_EQ(names.back(), "f4999.dat");
}

TEST_F(SummaryFileTest, WriterFormRoundTripsByteForByte) {
  std::string bytes = Line(kA, "docs/readme.txt") + Line(kB, " leading blank") + Line(kC, "x") +
                      Line(kC, "inner  blanks and trailing ") + Line(kA, "docs/readme.txt") +
                      Line(kD, std::string(130, 'p') + "/" + std::string(129, 'q'));
  ReadQuietly(scratch_.Write("source.md5", bytes));
  ASSERT_TRUE(IsModified());  // adding the entries set it
  std::string copy = scratch_.File("copy.md5");
  EXPECT_TRUE(WriteSummaryFile(copy.c_str()));
  EXPECT_EQ(ReadWholeFile(copy), bytes);
  EXPECT_FALSE(IsModified());
}

// A summary of an earlier version (names in the legacy code page, 1252 here) still verifies:
// its names become UTF-8, as md5sum and the file system hold them, and are saved so. Names that
// are UTF-8 already stay as they are.
TEST_F(SummaryFileTest, LegacyNamesBecomeUtf8AndUtf8NamesStayAsTheyAre) {
  ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8)) << "the manifest's UTF-8 code page is not in force";
  const std::string japanese = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt";
  ReadQuietly(scratch_.Write("legacy.md5", Line(kA, "caf\xE9.txt") + Line(kB, japanese) +
                                               Line(kC, "stra\xDF" "e/\xC6" "on.txt")));
  EXPECT_EQ(ColumnTexts(kColumnName),
            (std::vector<std::string>{"caf\xC3\xA9.txt", japanese, "stra\xC3\x9F" "e/\xC3\x86" "on.txt"}));
  std::string out = scratch_.File("out.md5");
  EXPECT_TRUE(WriteSummaryFile(out.c_str()));
  EXPECT_EQ(ReadWholeFile(out), Line(kA, "caf\xC3\xA9.txt") + Line(kB, japanese) +
                                    Line(kC, "stra\xC3\x9F" "e/\xC3\x86" "on.txt"));
}

// Memory that runs out while a summary loads ends nothing: one "Out of memory", and an empty
// document rather than half a summary that a save would take for the whole.
TEST_F(SummaryFileTest, MemoryRunningOutWhileLoadingLeavesAnEmptyDocument) {
  std::string path = scratch_.Write("three.md5", Line(kA, "a") + Line(kB, "b") + Line(kC, "c"));
  DialogScript script;
  script.Then(Press(IDOK));
  {
    EntryRecordLimit limit(2);
    EXPECT_FALSE(ReadSummaryFile(path.c_str()));
  }
  ASSERT_EQ(script.Seen().size(), 1u);
  EXPECT_EQ(script.Seen()[0].text, "Out of memory");
  EXPECT_EQ(EntryCount(), 0);
}

// Windows text editors save with a byte order mark; it costs no entry and is not written back.
TEST_F(SummaryFileTest, AByteOrderMarkCostsNoEntryAndIsNotWrittenBack) {
  std::string lines = Line(kA, "first.txt") + Line(kB, "second.txt");
  ReadQuietly(scratch_.Write("marked.md5", "\xEF\xBB\xBF" + lines));
  EXPECT_EQ(ColumnTexts(kColumnName), (std::vector<std::string>{"first.txt", "second.txt"}));
  std::string out = scratch_.File("out.md5");
  EXPECT_TRUE(WriteSummaryFile(out.c_str()));
  EXPECT_EQ(ReadWholeFile(out), lines);
}

// GetTempFileName takes at most 246 characters of folder: a save must work wherever the summary
// itself can be written, and leave only the summary behind.
TEST_F(SummaryFileTest, SavingWorksInAFolderOfTwoHundredFiftyCharacters) {
  std::string folder = scratch_.Path() + "\\";
  folder += std::string(250 - folder.size(), 'f');
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
  const std::string target = folder + "\\s.md5";
  AppendEntry("a.txt", kA.c_str(), kStatusOk, 1);
  EXPECT_TRUE(WriteSummaryFile(target.c_str()));
  EXPECT_EQ(ReadWholeFile(target), Line(kA, "a.txt"));
  EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"s.md5"});
  EXPECT_FALSE(IsModified());
}

TEST_F(SummaryFileTest, WriterUsesTheAsteriskSlashesAndCrLfWhateverWasRead) {
  ReadQuietly(scratch_.Write("loose.md5", kA + "  sub\\one.txt\n" + kB + " *two.txt"));
  std::string out = scratch_.File("out.md5");
  EXPECT_TRUE(WriteSummaryFile(out.c_str()));
  EXPECT_EQ(ReadWholeFile(out), Line(kA, "sub/one.txt") + Line(kB, "two.txt"));
}

TEST_F(SummaryFileTest, WriterFollowsTheOrderTheListShows) {
  ReadQuietly(scratch_.Write("unsorted.md5",
                             Line(kB, "b.txt") + Line(kC, "c.txt") + Line(kA, "a.txt")));
  SortColumn = -1;
  SortEntries(kColumnName);
  std::string ascending = scratch_.File("ascending.md5");
  EXPECT_TRUE(WriteSummaryFile(ascending.c_str()));
  EXPECT_EQ(ReadWholeFile(ascending), Line(kA, "a.txt") + Line(kB, "b.txt") + Line(kC, "c.txt"));
  SortEntries(kColumnName);  // the same column again turns the order round
  std::string descending = scratch_.File("descending.md5");
  EXPECT_TRUE(WriteSummaryFile(descending.c_str()));
  EXPECT_EQ(ReadWholeFile(descending), Line(kC, "c.txt") + Line(kB, "b.txt") + Line(kA, "a.txt"));
}

TEST_F(SummaryFileTest, SaveFailuresKeepTheOldFileAndTheFlag) {
  {
    SCOPED_TRACE("target folder does not exist");
    ExpectFailedWrite(scratch_.File("no such folder\\out.md5"), {});
  }
  {
    SCOPED_TRACE("read-only target");
    const std::string old = Line(kD, "old contents.txt");
    std::string target = scratch_.Write("old.md5", old);
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
    ExpectFailedWrite(target, {"old.md5"});
    EXPECT_EQ(ReadWholeFile(target), old);
  }
  {
    SCOPED_TRACE("target is a folder");
    std::string folder = scratch_.MakeDir("folder.md5");
    ExpectFailedWrite(folder, {"folder.md5", "old.md5"});
    EXPECT_TRUE(GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  }
}

// What GNU md5sum --binary prints for the same files, with CR LF line ends: lowercase digest,
// blank, asterisk, the name exactly as given, separators as slashes. The digests are the
// RFC 1321 test values of the files' contents.
TEST_F(SummaryFileTest, AwkwardNamesAreWrittenAsMd5sumWouldPrintThem) {
  struct File {
    const char* name;
    const char* content;
    const char* digest;
  };
  const File files[] = {
      {" lead.txt", "", "d41d8cd98f00b204e9800998ecf8427e"},
      {"with  two  spaces.txt", "a", "0cc175b9c0f1b6a831c399e269772661"},
      {"percent%s%d.txt", "abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"semi;colon,comma'quote.txt", "message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"dir with space/sub.dir/a#b&c[1]{2}=+!.txt", "abcdefghijklmnopqrstuvwxyz",
       "c3fcd3d76192e4007dfb496cca67e13b"},
  };
  scratch_.MakeDir("dir with space");
  scratch_.MakeDir("dir with space/sub.dir");
  SetBaseDirectory(scratch_.Path().c_str());
  std::string expected;
  for (const File& file : files) {
    std::string path = scratch_.Write(file.name, file.content);
    ASSERT_EQ(AddFileEntry(path.c_str()), kStatusOk) << file.name;
    expected += std::string(file.digest) + " *" + file.name + "\r\n";
  }
  std::string out = scratch_.File("awkward.md5");
  EXPECT_TRUE(WriteSummaryFile(out.c_str()));
  EXPECT_EQ(ReadWholeFile(out), expected);
}

std::string Uppercase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// A summary of each kind, as coreutils writes it in text mode and with --tag, opens as a
// document of that kind: its files verify, a file added gets that kind's digest, and Save writes
// the binary-mode lines that `sha256sum -c` and the others read.
TEST_F(SummaryFileTest, ASummaryOfEachKindOpensVerifiesAddsAndSavesInItsKind) {
  scratch_.Write("abc.txt", "abc");
  scratch_.Write("empty.txt", "");
  const std::string added = scratch_.Write("added.txt", "abc");
  for (const KnownDigests& k : kKnownDigests) {
    const DigestKindInfo& info = KindInfo(k.kind);
    SCOPED_TRACE(info.displayName);
    ClearEntries();
    SetBaseDirectory("");
    const std::string tagged = std::string(info.bsdTag) + " (empty.txt) = " + Uppercase(k.empty);
    ReadQuietly(scratch_.Write(std::string("sums.") + info.extension,
                               k.abc + "  abc.txt\n" + tagged + "\r\n"));
    EXPECT_EQ(DocumentDigestKind(), k.kind);
    EXPECT_EQ(UnreadLineCount(), 0);
    EXPECT_EQ(ColumnTexts(kColumnName), (std::vector<std::string>{"abc.txt", "empty.txt"}));
    EXPECT_EQ(ColumnTexts(kColumnDigest), (std::vector<std::string>{k.abc, k.empty}));

    SetBaseDirectory(scratch_.Path().c_str());
    const PassResult pass = RunPass({0, 1}, PassAction::kVerify);
    EXPECT_TRUE(pass.allOk && !pass.interrupted);
    EXPECT_EQ(ColumnTexts(kColumnStatus), (std::vector<std::string>{"OK", "OK"}));
    ASSERT_EQ(AddFileEntry(added.c_str()), kStatusOk);

    const std::string out = scratch_.File("out.sum");
    EXPECT_TRUE(WriteSummaryFile(out.c_str()));
    EXPECT_EQ(ReadWholeFile(out),
              Line(k.abc, "abc.txt") + Line(k.empty, "empty.txt") + Line(k.abc, "added.txt"));
  }
}

// A summary of a kind this system cannot compute opens nothing, whether its name or its first
// line gives the kind, and leaves the document's kind as it was.
TEST_F(SummaryFileTest, ASummaryOfAKindThatCannotBeComputedOpensNothing) {
  UnavailableKind unavailable(DigestKind::kSha512);
  SetDocumentDigestKind(DigestKind::kSha1);
  for (const char* name : {"sums.sha512", "SHA512SUMS"}) {
    const std::string path = scratch_.Write(name, Line(kKnownDigests[3].abc, "abc.txt"));
    DialogScript script;
    script.Then(Press(IDOK));
    EXPECT_FALSE(ReadSummaryFile(path.c_str())) << name;
    ASSERT_EQ(script.Seen().size(), 1u) << name;
    EXPECT_EQ(script.Seen()[0].text, "SHA-512 is not available on this system") << name;
    EXPECT_EQ(EntryCount(), 0) << name;
    EXPECT_EQ(DocumentDigestKind(), DigestKind::kSha1) << name;
  }
}

}  // namespace
