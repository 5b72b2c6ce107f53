#include "app/session_end.h"

#include "app/app_state.h"
#include "app/digest_choice.h"
#include "app/document_commands.h"
#include "common/code_pages.h"
#include "digest/read_hook.h"

const char kUnsavedReason[] = "The %s Summary has not been saved";


namespace {

typedef BOOL(WINAPI* BlockReasonCreateFn)(HWND window, LPCWSTR reason);
typedef BOOL(WINAPI* BlockReasonDestroyFn)(HWND window);

// Present from Windows Vista on.
FARPROC User32Function(const char* name) {
  return GetProcAddress(GetModuleHandleA("user32.dll"), name);
}

}  // namespace

LRESULT AnswerSessionEndQuery(HWND window) {
  // An operation under way ends as soon as this message has been answered: nothing more is
  // added or recorded from now on, so what the question saves is what the user sees.
  if (BusyFlag) RequestStop();
  if (ConfirmDiscard(window)) return TRUE;
  static const auto create = reinterpret_cast<BlockReasonCreateFn>(
      reinterpret_cast<void*>(User32Function("ShutdownBlockReasonCreate")));
  char reason[64];
  FormatForDocumentKind(kUnsavedReason, reason, sizeof reason);
  if (create) create(window, ProcessTextToWide(reason, lstrlenA(reason)).c_str());
  return FALSE;
}

void WithdrawSessionEndRefusal(HWND window) {
  static const auto destroy = reinterpret_cast<BlockReasonDestroyFn>(
      reinterpret_cast<void*>(User32Function("ShutdownBlockReasonDestroy")));
  if (destroy) destroy(window);
}
