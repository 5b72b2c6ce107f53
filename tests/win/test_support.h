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
// Dispatches pending messages for about the given time.
void PumpFor(DWORD milliseconds);

std::string WindowText(HWND window);
std::string ItemText(HWND dialog, int id);
std::string ClassName(HWND window);

// What a dialog showed when the script met it.
struct SeenDialog {
  std::string title;
  std::string text;  // a message box's text (its static control 0xFFFF)
  RECT rect;
};

using DialogAction = std::function<void(HWND dialog)>;

// Answers the modal dialogs of this thread in order, from a thread timer that runs inside
// their own message loops. A dialog with no answer left is cancelled and counted.
class DialogScript {
 public:
  DialogScript();
  ~DialogScript();
  DialogScript& Then(DialogAction action);
  const std::vector<SeenDialog>& Seen() const { return seen_; }
  int Unexpected() const { return unexpected_; }
  bool Finished() const { return actions_.empty(); }

  void Tick();

 private:
  std::deque<DialogAction> actions_;
  std::vector<SeenDialog> seen_;
  std::vector<HWND> handled_;
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
// The names a directory lists, in the order the file system gives them.
std::vector<std::string> DirectoryListing(const std::string& directory);
void RemoveTree(const std::string& path);

// Resets the process-wide document state between tests.
void ResetDocumentState();

}  // namespace testsupport

#endif
