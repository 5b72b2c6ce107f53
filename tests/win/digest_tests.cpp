// Reading files into digests with the main window open: verdicts, sizes in KB, the status
// bar and progress bar while and after reading, Stop, and files that change under the reader.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/screen_refresh.h"
#include "common/bounded_text.h"
#include "digest/file_digest.h"
#include "digest/file_hasher.h"
#include "digest/md5.h"
#include "digest/read_queue.h"
#include "pump_probe.h"
#include "digest/read_hook.h"
#include "known_digests.h"
#include "summary/entry_record.h"
#include "test_support.h"

using namespace testsupport;

namespace {

// Content that differs from chunk to chunk; digests below were computed with md5sum.
std::string Pattern(size_t length) {
  std::string bytes(length, '\0');
  for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>((i * 31 + 7) % 251);
  return bytes;
}

const char kEmptyDigest[] = "d41d8cd98f00b204e9800998ecf8427e";
const char kFoxText[] = "The quick brown fox jumps over the lazy dog";
const char kFoxDigest[] = "9e107d9d372bb6826bd81d3542a419d6";
const char kPattern1535Digest[] = "45fe4d42c90b61aa1712b53ee371e658";
const char kPattern100000Digest[] = "c751c4ebba60bb18afab02f4ced56b32";
const char kUntouched[] = "untouched";


int ProgressPosition() { return static_cast<int>(SendMessageA(ProgressBar, PBM_GETPOS, 0, 0)); }

std::string Hex(const unsigned char digest[16]) {
  char text[kDigestTextSize];
  DigestToHex(text, digest);
  return text;
}

// Sets the file's length through a handle of its own, as another program would.
bool ResizeFile(const std::string& path, LONG length) {
  HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (writer == INVALID_HANDLE_VALUE) return false;
  bool done = SetFilePointer(writer, length, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
              SetEndOfFile(writer);
  CloseHandle(writer);
  return done;
}

class DigestTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(OpenMainWindow(), nullptr);
    CopyText(digest_, sizeof digest_, kUntouched);
  }
  void TearDown() override {
    ClearStopRequest();
    CloseMainWindow();
  }

  ScratchDir dir_;
  char digest_[kDigestTextSize];
  int32_t size_ = 12345;
};

// A quit request that a long operation's pumping takes off the queue still reaches the main
// loop, which ends the program on it.
TEST_F(DigestTest, PumpingHandsAQuitRequestBackToTheMainLoop) {
  PostQuitMessage(7);
  PumpMessages();
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 7u);
}

TEST_F(DigestTest, EmptyFileIsOkWithOneKilobyteAndNoProgress) {
  std::string path = dir_.Write("empty.txt", "");
  SendMessageA(ProgressBar, PBM_SETPOS, 40, 0);
  PumpProbe probe(nullptr);
  ASSERT_TRUE(probe.Ready());
  EXPECT_EQ(DigestFile(DigestKind::kMd5, path.c_str(), digest_, &size_), kStatusOk);
  EXPECT_STREQ(digest_, kEmptyDigest);
  EXPECT_EQ(size_, 1);
  EXPECT_EQ(ProgressPosition(), 0);
  EXPECT_EQ(probe.ChunksSeen(), 0);
}

TEST_F(DigestTest, DigestAndRoundedKilobytesOfFilesAroundTheRoundingPoints) {
  struct Case {
    size_t length;
    const char* digest;
    int32_t kb;
  };
  const Case cases[] = {
      {510, "370c3d3669836b30f58bd7e5a9090fb8", 1},
      {511, "ba6a6df6bd9fc56d0f3d81ca424082c0", 1},
      {1534, "9b393c98e4c2b3239ffa99062909ccab", 1},
      {1535, kPattern1535Digest, 2},
      {2048, "8ff2b3ad1b7689199548d9ce054ade39", 2},
      {32768, "29dafa032c89ee8f745aded0a9dec8ba", 32},
      {100000, kPattern100000Digest, 98},
      {200000, "224f347f35d6ebc93480a7edcd4ebefd", 195},
  };
  for (const Case& c : cases) {
    std::string path = dir_.Write("p" + std::to_string(c.length) + ".bin", Pattern(c.length));
    EXPECT_EQ(DigestFile(DigestKind::kMd5, path.c_str(), digest_, &size_), kStatusOk) << c.length;
    EXPECT_STREQ(digest_, c.digest) << c.length;
    EXPECT_EQ(size_, c.kb) << c.length;
  }
  std::string fox = dir_.Write("fox.txt", kFoxText);
  EXPECT_EQ(DigestFile(DigestKind::kMd5, fox.c_str(), digest_, &size_), kStatusOk);
  EXPECT_STREQ(digest_, kFoxDigest);
}

TEST_F(DigestTest, OneFullChunkEndsWithTheProgressBarFull) {
  std::string path = dir_.Write("chunk.bin", Pattern(32768));
  PumpProbe probe(nullptr);
  ASSERT_TRUE(probe.Ready());
  EXPECT_EQ(DigestFile(DigestKind::kMd5, path.c_str(), digest_, &size_), kStatusOk);
  EXPECT_EQ(ProgressPosition(), 100);
  EXPECT_EQ(probe.ChunksSeen(), 1);
}

TEST_F(DigestTest, ProgressClimbsInEvenStepsToFullOncePerChunk) {
  std::string path = dir_.Write("seven.bin", Pattern(200000));  // 7 chunks, the last short
  PumpProbe probe(nullptr);
  ASSERT_TRUE(probe.Ready());
  ASSERT_EQ(DigestFile(DigestKind::kMd5, path.c_str(), digest_, &size_), kStatusOk);
  EXPECT_EQ(probe.ChunksSeen(), 7);
  int previous = 0;
  for (int position : probe.Positions()) {
    if (position == 0) continue;
    EXPECT_GT(position, previous);
    EXPECT_EQ(position % 2, 0) << position;
    previous = position;
  }
  EXPECT_EQ(previous, 100);
}

TEST_F(DigestTest, UnopenablePathsAreMissingWithoutSizeOrProgressReset) {
  std::string writerHeld = dir_.Write("busy.log", Pattern(4000));
  HANDLE writer = CreateFileA(writerHeld.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  const std::string paths[] = {dir_.File("absent.txt"), dir_.File("no-such-dir\\absent.txt"),
                               writerHeld};
  for (const std::string& path : paths) {
    SetStatusText("before");
    SendMessageA(ProgressBar, PBM_SETPOS, 40, 0);
    size_ = 12345;
    EXPECT_EQ(DigestFile(DigestKind::kMd5, path.c_str(), digest_, &size_), kStatusMissing) << path;
    EXPECT_EQ(size_, -1) << path;
    EXPECT_STREQ(digest_, kUntouched) << path;
    EXPECT_EQ(StatusBarText(), "") << path;
    EXPECT_EQ(ProgressPosition(), 40) << path;
    size_ = 12345;
    EXPECT_EQ(CheckFile(DigestKind::kMd5, path.c_str(), kFoxDigest, &size_), kStatusMissing)
        << path;
    EXPECT_EQ(size_, -1) << path;
  }
  CloseHandle(writer);
  EXPECT_EQ(DigestFile(DigestKind::kMd5, writerHeld.c_str(), digest_, &size_), kStatusOk);
}

TEST_F(DigestTest, StatusBarNamesTheFileWhileItIsReadAndIsEmptiedAfter) {
  dir_.MakeDir("sub");
  dir_.Write("sub/read me.dat", Pattern(100000));
  std::string path = dir_.Path() + "\\sub/read me.dat";  // the name follows the last separator
  std::vector<std::string> seen;
  PumpProbe probe([&seen](int) { seen.push_back(StatusBarText()); });
  ASSERT_TRUE(probe.Ready());
  probe.PostNow();
  ASSERT_EQ(DigestFile(DigestKind::kMd5, path.c_str(), digest_, &size_), kStatusOk);
  ASSERT_EQ(seen.size(), 5u);  // before the first read, then after each of 4 chunks
  for (const std::string& text : seen) EXPECT_EQ(text, " read me.dat...");
  EXPECT_EQ(StatusBarText(), "");
  seen.clear();
  probe.PostNow();
  ASSERT_EQ(CheckFile(DigestKind::kMd5, path.c_str(), kPattern100000Digest, &size_), kStatusOk);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front(), " read me.dat...");
  EXPECT_EQ(StatusBarText(), "");
}

TEST_F(DigestTest, FileThatChangesLengthWhileReadIsAReadError) {
  struct Case {
    int afterChunk;  // 0: before the first read
    LONG newLength;  // -1: left alone
    int expected;
  };
  // The fourth chunk is the last, and short: once it is read the file has been read whole, and
  // a change after it is no longer a change while the file is read.
  const Case cases[] = {
      {0, -1, kStatusOk},          {0, 0, kStatusReadError},      {0, 131072, kStatusReadError},
      {1, 40000, kStatusReadError}, {2, 65536, kStatusReadError}, {1, 100001, kStatusReadError},
      {3, 99999, kStatusReadError}, {3, 100001, kStatusReadError}, {4, 100001, kStatusOk},
      {4, 50000, kStatusOk},
  };
  for (const Case& c : cases) {
    std::string path = dir_.Write("moving.bin", Pattern(100000));
    HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    bool resized = false;
    PumpProbe probe([&](int chunk) {
      if (chunk == c.afterChunk && c.newLength >= 0) resized = ResizeFile(path, c.newLength);
    });
    ASSERT_TRUE(probe.Ready());
    probe.PostNow();
    unsigned char digest[16] = {};
    size_ = 12345;
    int result = DigestOpenFile(DigestKind::kMd5, reader, digest, &size_);
    CloseHandle(reader);
    EXPECT_EQ(resized, c.newLength >= 0) << c.afterChunk << " " << c.newLength;
    EXPECT_EQ(result, c.expected) << c.afterChunk << " " << c.newLength;
    if (c.expected == kStatusOk) {
      EXPECT_EQ(Hex(digest), kPattern100000Digest);
      EXPECT_EQ(size_, 98);
    } else {
      EXPECT_EQ(size_, -1) << c.afterChunk << " " << c.newLength;
    }
  }
}

// A walk passes the size it found; a size out of date (the file changed after the walk saw
// it) must still give the file's true digest and size, as asking the system would.
TEST_F(DigestTest, ListedSizeGivesTheVerdictOfAskingTheSystemEvenWhenOutOfDate) {
  const size_t lengths[] = {0, 1535, 32767, 32768, 100000};
  for (size_t length : lengths) {
    std::string path = dir_.Write("listed.bin", Pattern(length));
    const int64_t actual = static_cast<int64_t>(length);
    const int64_t listed[] = {kSizeNotListed, actual, actual + 1, actual - 1, 0, 32767, 40000};
    std::string expected;
    int32_t expectedKb = 0;
    for (int64_t size : listed) {
      HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
      ASSERT_NE(reader, INVALID_HANDLE_VALUE);
      SendMessageA(ProgressBar, PBM_SETPOS, 40, 0);
      unsigned char digest[16] = {};
      size_ = 12345;
      EXPECT_EQ(DigestOpenFile(DigestKind::kMd5, reader, digest, &size_, size), kStatusOk)
          << length << " " << size;
      CloseHandle(reader);
      if (size == kSizeNotListed) {
        expected = Hex(digest);
        expectedKb = size_;
      }
      EXPECT_EQ(Hex(digest), expected) << length << " " << size;
      EXPECT_EQ(size_, expectedKb) << length << " " << size;
      EXPECT_EQ(ProgressPosition(), length == 0 ? 0 : 100) << length << " " << size;
    }
    if (length == 0) {
      EXPECT_EQ(expected, kEmptyDigest);
    } else if (length == 1535) {
      EXPECT_EQ(expected, kPattern1535Digest);
    } else if (length == 100000) {
      EXPECT_EQ(expected, kPattern100000Digest);
    }
  }
}

// Nothing read cannot be told from an empty file by its length: the failed read itself must
// make the verdict, listed size or not.
TEST_F(DigestTest, AFailedReadIsAReadErrorWhateverTheSize) {
  for (size_t length : {size_t{0}, size_t{1535}}) {
    std::string path = dir_.Write("unreadable.bin", Pattern(length));
    for (int64_t size : {kSizeNotListed, static_cast<int64_t>(length)}) {
      HANDLE writeOnly = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
      ASSERT_NE(writeOnly, INVALID_HANDLE_VALUE);
      unsigned char digest[16] = {};
      size_ = 12345;
      EXPECT_EQ(DigestOpenFile(DigestKind::kMd5, writeOnly, digest, &size_, size), kStatusReadError)
          << length << " " << size;
      EXPECT_EQ(size_, -1) << length << " " << size;
      CloseHandle(writeOnly);
    }
  }
}

TEST_F(DigestTest, StopBeforeTheOneReadOfAListedFileInterrupts) {
  std::string path = dir_.Write("small.bin", Pattern(1535));
  PumpProbe probe([](int chunk) {
    if (chunk == 0) RequestStop();
  });
  ASSERT_TRUE(probe.Ready());
  probe.PostNow();
  size_ = 12345;
  EXPECT_EQ(DigestFile(DigestKind::kMd5, path.c_str(), digest_, &size_, 1535), kStatusInterrupted);
  EXPECT_EQ(size_, -1);
  EXPECT_STREQ(digest_, kUntouched);
  EXPECT_EQ(probe.ChunksSeen(), 0);
  ClearStopRequest();
  EXPECT_EQ(DigestFile(DigestKind::kMd5, path.c_str(), digest_, &size_, 1535), kStatusOk);
  EXPECT_STREQ(digest_, kPattern1535Digest);
  EXPECT_EQ(size_, 2);
}

TEST_F(DigestTest, StopBeforeOrBetweenChunksInterruptsWithinOneChunk) {
  std::string path = dir_.Write("long.bin", Pattern(200000));  // 7 chunks
  for (int stopAfter : {0, 1, 3, 6}) {
    ClearStopRequest();
    PumpProbe probe([stopAfter](int chunk) {
      if (chunk == stopAfter) RequestStop();
    });
    ASSERT_TRUE(probe.Ready());
    probe.PostNow();
    size_ = 12345;
    EXPECT_EQ(DigestFile(DigestKind::kMd5, path.c_str(), digest_, &size_), kStatusInterrupted)
        << stopAfter;
    EXPECT_EQ(size_, -1) << stopAfter;
    EXPECT_STREQ(digest_, kUntouched) << stopAfter;
    EXPECT_EQ(probe.ChunksSeen(), stopAfter);  // no chunk read once Stop was seen
    EXPECT_EQ(StatusBarText(), "") << stopAfter;
  }
  ClearStopRequest();
  size_ = 12345;
  EXPECT_EQ(CheckFile(DigestKind::kMd5, path.c_str(), "224f347f35d6ebc93480a7edcd4ebefd", &size_),
            kStatusOk);
  EXPECT_EQ(size_, 195);
}

TEST_F(DigestTest, CheckFileComparesTheWholeTextExactly) {
  std::string path = dir_.Write("p1535.bin", Pattern(1535));
  const std::string exact = kPattern1535Digest;
  std::string upper = exact;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  struct Case {
    std::string stored;
    int expected;
  };
  const Case cases[] = {
      {exact, kStatusOk},
      {upper, kStatusMismatch},
      {exact.substr(0, 31), kStatusMismatch},
      {exact + "0", kStatusMismatch},
      {kFoxDigest, kStatusMismatch},
      {"", kStatusMismatch},
  };
  for (const Case& c : cases) {
    size_ = 12345;
    EXPECT_EQ(CheckFile(DigestKind::kMd5, path.c_str(), c.stored.c_str(), &size_), c.expected)
        << c.stored;
    EXPECT_EQ(size_, 2) << c.stored;  // the whole file was read either way
  }
}

TEST_F(DigestTest, CheckFileSeesChangedContentWithItsNewSize) {
  std::string path = dir_.Write("notes.txt", kFoxText);
  ASSERT_EQ(CheckFile(DigestKind::kMd5, path.c_str(), kFoxDigest, &size_), kStatusOk);
  dir_.Write("notes.txt", Pattern(1535));
  size_ = 12345;
  EXPECT_EQ(CheckFile(DigestKind::kMd5, path.c_str(), kFoxDigest, &size_), kStatusMismatch);
  EXPECT_EQ(size_, 2);
}

// The bytes fed to a hasher in pieces of the given size; a failure's name in place of a digest.
std::string HashInPieces(DigestKind kind, const std::string& bytes, size_t piece) {
  FileHasher hasher(kind);
  if (!hasher.Ready()) return "not ready";
  for (size_t done = 0; done < bytes.size(); done += piece) {
    const size_t length = std::min(piece, bytes.size() - done);
    if (!hasher.Add(bytes.data() + done, static_cast<uint32_t>(length))) return "not added";
  }
  unsigned char digest[kMaxDigestSize];
  if (!hasher.Finish(digest)) return "not finished";
  char text[kDigestTextSize];
  DigestText(kind, digest, text);
  return text;
}

// Each file read into each kind through a queue of that many readers, results in queue order.
std::vector<std::string> DigestsThroughQueue(int readers, const std::vector<std::string>& paths) {
  TaggedReadQueue<int> queue(readers);
  std::vector<std::string> digests;
  auto take = [&queue, &digests] {
    std::shared_ptr<TaggedRead<int>> read = queue.TakeOldest();
    digests.push_back(!read ? "stopped" : read->verdict == kStatusOk ? read->digest : "failed");
  };
  for (const KnownDigests& answers : kKnownDigests) {
    for (const std::string& path : paths) {
      EXPECT_TRUE(queue.PushRead(0, answers.kind, path, kSizeNotListed, ""));
      while (queue.Full()) take();
    }
  }
  while (!queue.Empty()) take();
  return digests;
}

// Every kind gives the published answers whichever way it is fed: in odd pieces, from a file
// read whole or in chunks, checked against a stored digest, by one reader or several at once;
// and the same where Windows cannot reuse hash objects (Windows 7).
TEST_F(DigestTest, EveryKindGivesTheKnownAnswersOnEveryPath) {
  const std::string million(1000000, 'a');
  const std::vector<std::string> files = {dir_.Write("abc.txt", "abc"), dir_.Write("empty.txt", ""),
                                          dir_.Write("million.txt", million)};
  const int64_t sizes[] = {3, 0, 1000000};
  std::vector<std::string> everyAnswer;
  for (const KnownDigests& k : kKnownDigests)
    everyAnswer.insert(everyAnswer.end(), {k.abc, k.empty, k.million});
  for (bool reusable : {true, false}) {
    RefuseReusableHashesForTests(!reusable);
    for (const KnownDigests& k : kKnownDigests) {
      SCOPED_TRACE(std::string(KindInfo(k.kind).displayName) +
                   (reusable ? ", reused" : ", one a file"));
      ASSERT_TRUE(DigestKindAvailable(k.kind));
      EXPECT_EQ(HashInPieces(k.kind, "abc", 1), k.abc);
      {
        FileHasher abandoned(k.kind);  // a read stopped halfway: its data must not linger
        ASSERT_TRUE(abandoned.Add("xyz", 3));
      }
      EXPECT_EQ(HashInPieces(k.kind, "", 1), k.empty);
      EXPECT_EQ(HashInPieces(k.kind, million, 999), k.million);
      const std::string answers[] = {k.abc, k.empty, k.million};
      for (size_t i = 0; i < files.size(); ++i) {
        for (int64_t listed : {kSizeNotListed, sizes[i]}) {
          EXPECT_EQ(DigestFile(k.kind, files[i].c_str(), digest_, &size_, listed), kStatusOk);
          EXPECT_EQ(digest_, answers[i]) << files[i] << " " << listed;
        }
        EXPECT_EQ(CheckFile(k.kind, files[i].c_str(), answers[i].c_str(), &size_), kStatusOk);
        const std::string zeros(KindInfo(k.kind).digits, '0');
        EXPECT_EQ(CheckFile(k.kind, files[i].c_str(), zeros.c_str(), &size_), kStatusMismatch);
      }
    }
    for (int readers : {1, 4})
      EXPECT_EQ(DigestsThroughQueue(readers, files), everyAnswer) << readers;
  }
  RefuseReusableHashesForTests(false);
}

// A kind whose provider does not open is a Read Error on every file, never a digest.
TEST_F(DigestTest, AKindThatCannotBeComputedIsAReadError) {
  const std::string path = dir_.Write("abc.txt", "abc");
  auto unavailable = std::make_unique<UnavailableKind>(DigestKind::kSha256);
  EXPECT_FALSE(DigestKindAvailable(DigestKind::kSha256));
  EXPECT_TRUE(DigestKindAvailable(DigestKind::kSha1));
  EXPECT_TRUE(DigestKindAvailable(DigestKind::kMd5));
  size_ = 12345;
  EXPECT_EQ(DigestFile(DigestKind::kSha256, path.c_str(), digest_, &size_), kStatusReadError);
  EXPECT_STREQ(digest_, kUntouched);
  EXPECT_EQ(size_, -1);
  EXPECT_EQ(CheckFile(DigestKind::kSha256, path.c_str(), kKnownDigests[2].abc.c_str(), &size_),
            kStatusReadError);
  EXPECT_EQ(DigestFile(DigestKind::kSha1, path.c_str(), digest_, &size_), kStatusOk);
  unavailable.reset();
  EXPECT_EQ(DigestFile(DigestKind::kSha256, path.c_str(), digest_, &size_), kStatusOk);
  EXPECT_EQ(digest_, kKnownDigests[2].abc);
}

}  // namespace
