// Shared pieces of the Windows tests: the real main window in this process, a script that
// answers the real modal dialogs as they open, and scratch files.
#ifndef VELMORA_TESTS_WIN_TEST_SUPPORT_H
#define VELMORA_TESTS_WIN_TEST_SUPPORT_H

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace testsupport {

// Opens the program's main window (children, menu, toolbar) in this process.
HWND OpenMainWindow(int x = CW_USEDEFAULT, int y = CW_USEDEFAULT, int width = 640,
                    int height = 480);
// Closes it without any prompt and drops the quit message its destruction posts.
void CloseMainWindow();
// Tells the window, as the system does, that it now stands on a screen of the DPI.
void SendDpiChange(HWND window, int dpi, RECT suggested);
// Dispatches pending messages for about the given time: only for checks that something does
// NOT happen. To wait for something, use PumpUntil or WaitUntil.
void PumpFor(DWORD milliseconds);
// Dispatches this thread's messages until the condition holds; false if it still does not
// after the timeout.
bool PumpUntil(const std::function<bool()>& done, DWORD timeout);
// Polls the condition (for other processes' windows and files, or other threads' work)
// without dispatching; false if it still does not hold after the timeout.
bool WaitUntil(const std::function<bool()>& done, DWORD timeout);

std::string WindowText(HWND window);
std::string ItemText(HWND dialog, int id);
std::string ClassName(HWND window);
// A dialog's title and the texts of its controls, for a failure message.
std::string DialogContents(HWND dialog);

// The main window's status bar text and title, in this process.
std::string StatusBarText();
std::string MainTitle();
// The Windows form (Z:\...) of a path of the build machine.
std::string WindowsPathOf(const std::string& unixPath);

// How long a dialog may stay open after its scripted answer before the test fails.
const DWORD kDialogDeadline = 5000;

// What a dialog showed when the script met it.
struct SeenDialog {
  std::string title;
  std::string text;  // a message box's text (its static control 0xFFFF)
  RECT rect;
};

using DialogAction = std::function<void(HWND dialog)>;

// Answers the modal dialogs of this thread in order, from a thread timer that runs inside
// their own message loops. A dialog with no answer left is cancelled and counted. A dialog
// still open at the deadline after its answer fails the test with what it showed, and is
// closed, so that a refused answer costs seconds, not the run's time-out.
class DialogScript {
 public:
  explicit DialogScript(DWORD deadline = kDialogDeadline);
  ~DialogScript();
  DialogScript& Then(DialogAction action);
  const std::vector<SeenDialog>& Seen() const { return seen_; }
  int Unexpected() const { return unexpected_; }
  bool Finished() const { return actions_.empty(); }

  void Tick();

 private:
  struct Answered {
    HWND dialog;
    DWORD answeredAt;
    std::string title;
  };
  void CloseOverdueDialogs();

  std::deque<DialogAction> actions_;
  std::vector<SeenDialog> seen_;
  std::vector<Answered> answered_;
  DWORD deadline_;
  int unexpected_ = 0;
  UINT_PTR timer_ = 0;
};

DialogAction Press(int buttonId);
DialogAction EnterFileName(const std::string& name);
DialogAction CheckThenPress(std::function<void(HWND)> check, int buttonId);

// A fresh folder under the prefix's temporary directory, removed by the destructor.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  const std::string& Path() const { return path_; }
  std::string File(const std::string& relative) const;
  std::string Write(const std::string& relative, const std::string& bytes) const;
  std::string MakeDir(const std::string& relative) const;

 private:
  std::string path_;
};

std::string ReadWholeFile(const std::string& path);
// Writes the bytes under a temporary name and renames them into place, so that a reader
// polling for the file never sees it half written.
void WriteFileWhole(const std::string& path, const std::string& bytes);
// The names a directory lists, in the order the file system gives them.
std::vector<std::string> DirectoryListing(const std::string& directory);
void RemoveTree(const std::string& path);

// Resets the process-wide document state between tests.
void ResetDocumentState();

// While it lives, entry records beyond the limit are refused as if memory had run out.
class EntryRecordLimit {
 public:
  explicit EntryRecordLimit(int limit);
  ~EntryRecordLimit();
  EntryRecordLimit(const EntryRecordLimit&) = delete;
  EntryRecordLimit& operator=(const EntryRecordLimit&) = delete;
};

// A program started by a test: ended by force if the test leaves it running. Whatever the test
// executable starts also ends when the executable ends, however it ends (see main).
class StartedProcess {
 public:
  explicit StartedProcess(const std::string& commandLine, DWORD creationFlags = 0);
  ~StartedProcess();
  StartedProcess(const StartedProcess&) = delete;
  StartedProcess& operator=(const StartedProcess&) = delete;

  bool Started() const { return started_; }
  DWORD Id() const { return process_.dwProcessId; }
  HANDLE Handle() const { return process_.hProcess; }
  bool Running() const;
  // The exit code, or 0xFFFFFFFF if the process is still running after the timeout.
  DWORD WaitForExit(DWORD timeout = 20000);
  void Kill();

 private:
  PROCESS_INFORMATION process_ = {};
  bool started_ = false;
};

// The visible top-level windows of a class that belong to a process.
HWND FindProcessWindow(DWORD processId, const char* className);

}  // namespace testsupport

#endif
