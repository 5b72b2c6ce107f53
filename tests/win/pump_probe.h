// Runs test code inside the program's own message pumping, at chosen points of a long read.
// A posted message is taken off the queue by the first pump after the post; a message posted
// while that pump runs is taken by the same pump. So "after chunk k" cannot be reached by a
// message re-posting itself: the probe instead watches the progress bar, which the chunk loop
// moves once per chunk for the file sizes used here, and posts one message per move.
#ifndef VELMORA_TESTS_WIN_PUMP_PROBE_H
#define VELMORA_TESTS_WIN_PUMP_PROBE_H

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <vector>

#include "app/app_state.h"

namespace testsupport {

class PumpProbe {
 public:
  // Runs with 0 for the message posted by PostNow, else with the number of chunks read.
  using Action = std::function<void(int chunk)>;

  explicit PumpProbe(Action action) : action_(std::move(action)) {
    Active() = this;
    window_ = CreateWindowExA(0, ClassName(), "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    if (ProgressBar) {
      original_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
          ProgressBar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PumpProbe::ProgressProc)));
    }
  }
  ~PumpProbe() {
    if (original_ && ProgressBar) {
      SetWindowLongPtrA(ProgressBar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    }
    if (window_) DestroyWindow(window_);
    Active() = nullptr;
  }
  PumpProbe(const PumpProbe&) = delete;
  PumpProbe& operator=(const PumpProbe&) = delete;

  bool Ready() const { return window_ != nullptr && original_ != nullptr; }
  // The action runs at the next pump with chunk 0.
  void PostNow() { PostMessageA(window_, kProbeMessage, 0, 0); }
  // Every position the progress bar was sent, resets included.
  const std::vector<int>& Positions() const { return positions_; }
  int ChunksSeen() const { return chunks_; }

 private:
  enum { kProbeMessage = WM_APP + 71 };

  static PumpProbe*& Active() {
    static PumpProbe* active = nullptr;
    return active;
  }

  static const char* ClassName() {
    static bool registered = false;
    if (!registered) {
      WNDCLASSA type = {};
      type.lpfnWndProc = &PumpProbe::ProbeProc;
      type.hInstance = GetModuleHandleA(nullptr);
      type.lpszClassName = "VelmoraPumpProbe";
      registered = RegisterClassA(&type) != 0;
    }
    return "VelmoraPumpProbe";
  }

  static LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kProbeMessage && Active() && Active()->action_) {
      Active()->action_(static_cast<int>(wParam));
      return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }

  static LRESULT CALLBACK ProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    PumpProbe* probe = Active();
    if (!probe) return DefWindowProcA(window, message, wParam, lParam);
    if (message == PBM_SETPOS) probe->NotePosition(static_cast<int>(wParam));
    return CallWindowProcA(probe->original_, window, message, wParam, lParam);
  }

  void NotePosition(int position) {
    positions_.push_back(position);
    if (position == 0) return;  // a reset, not a chunk
    ++chunks_;
    PostMessageA(window_, kProbeMessage, static_cast<WPARAM>(chunks_), 0);
  }

  Action action_;
  HWND window_ = nullptr;
  WNDPROC original_ = nullptr;
  std::vector<int> positions_;
  int chunks_ = 0;
};

}  // namespace testsupport

#endif
