#include "app/file_dialog.h"

#include <commdlg.h>

#include <cstring>
#include <cwchar>
#include <new>
#include <vector>

#include "app/app_state.h"
#include "common/code_pages.h"

namespace {

// Room for many chosen names: a multiple choice lists them all in this one buffer.
const size_t kChoiceUnits = 32768;

std::wstring WideFilter(const char* filter) {
  std::wstring wide = ProcessTextToWide(filter, std::strlen(filter));
  for (wchar_t& c : wide) {
    if (c == L'|') c = L'\0';
  }
  return wide + L'\0';
}

// The NUL-separated parts of the choice, each in the process code page.
bool ChoiceInProcessText(const std::vector<wchar_t>& units, std::string* chosen) {
  chosen->clear();
  for (size_t at = 0; at < units.size() && units[at] != L'\0';) {
    const size_t length = std::wcslen(&units[at]);
    std::string part(length * 4 + 1, '\0');
    if (!WideToProcessText(&units[at], &part[0], part.size())) return false;
    chosen->append(part.c_str());
    chosen->push_back('\0');
    at += length + 1;
  }
  return !chosen->empty();
}

bool ShowFileDialog(const FileDialogRequest& request, std::string* chosen) {
  const std::wstring filter = WideFilter(request.filter);
  const std::wstring initial = request.initialDirectory ? WidePath(request.initialDirectory) : L"";
  const std::wstring extension =
      ProcessTextToWide(request.defaultExtension, std::strlen(request.defaultExtension));
  std::vector<wchar_t> units(kChoiceUnits, L'\0');
  OPENFILENAMEW dialog;
  ZeroMemory(&dialog, sizeof dialog);
  dialog.lStructSize = request.compact ? OPENFILENAME_SIZE_VERSION_400W : sizeof dialog;
  dialog.hwndOwner = request.owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = units.data();
  dialog.nMaxFile = static_cast<DWORD>(units.size() - 1);
  dialog.lpstrInitialDir = request.initialDirectory ? initial.c_str() : nullptr;
  dialog.lpstrDefExt = extension.c_str();
  dialog.Flags = request.flags;
  const BOOL ok = request.save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  return ok && ChoiceInProcessText(units, chosen);
}

}  // namespace

FileDialogResult RunFileDialog(const FileDialogRequest& request, std::string* chosen) {
  try {
    return ShowFileDialog(request, chosen) ? FileDialogResult::kChosen
                                           : FileDialogResult::kCancelled;
  } catch (const std::bad_alloc&) {
    return FileDialogResult::kOutOfMemory;
  }
}

bool AskForFiles(const FileDialogRequest& request, std::string* chosen) {
  const FileDialogResult result = RunFileDialog(request, chosen);
  if (result == FileDialogResult::kOutOfMemory) ShowError("Out of memory");
  return result == FileDialogResult::kChosen;
}
