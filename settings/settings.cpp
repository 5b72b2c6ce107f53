#include "settings/settings.h"

#include <commctrl.h>

#include <string>

#include "app/app_state.h"
#include "app/win_guards.h"
#include "common/bounded_text.h"
#include "common/code_pages.h"
#include "common/utf8_text.h"
#include "settings/placement.h"
#include "settings/recent_files.h"

const char kSettingsFile[] = "dorvex.ini";
const char kSettingsSection[] = "Misc";
int ColumnWidths[4] = {kDefaultColumnWidth, kDefaultColumnWidth, kDefaultColumnWidth,
                       kDefaultColumnWidth};

namespace {

int ReadInteger(const char* key, int fallback) {
  return static_cast<int>(GetPrivateProfileIntA(kSettingsSection, key, fallback, kSettingsFile));
}

void WriteInteger(const char* key, int value) {
  char text[16];
  FormatText(text, sizeof text, "%d", value);
  WritePrivateProfileStringA(kSettingsSection, key, text, kSettingsFile);
}

void WritePlacement(const RECT& rect) {
  WriteInteger("x", rect.left);
  WriteInteger("y", rect.top);
  WriteInteger("nx", rect.right - rect.left);
  WriteInteger("ny", rect.bottom - rect.top);
}

void WriteColumnWidths() {
  if (!EntryList) return;
  for (int column = 0; column < 4; ++column) {
    int width = static_cast<int>(SendMessageA(EntryList, LVM_GETCOLUMNWIDTH, column, 0));
    char key[8];
    FormatText(key, sizeof key, "cw%d", column);
    if (width > 0) WriteInteger(key, width);  // a column dragged shut keeps its stored width
  }
}

std::string SettingsFilePath() {
  char directory[MAX_PATH] = "";
  GetWindowsDirectoryA(directory, sizeof directory);
  return std::string(directory) + "\\" + kSettingsFile;
}

// The whole file, if it is there and of a settings file's size.
bool ReadWholeSettingsFile(const std::string& path, std::string* bytes) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) return false;
  DWORD high = 0;
  DWORD size = GetFileSize(file.Get(), &high);
  if (size == INVALID_FILE_SIZE || high != 0 || size > (1u << 20)) return false;
  bytes->resize(size);
  DWORD read = 0;
  return size == 0 || (ReadFile(file.Get(), &(*bytes)[0], size, &read, nullptr) && read == size);
}

// Earlier versions wrote the settings file in the legacy code page. Where the process code page
// is UTF-8 the profile functions would read its recent paths as broken UTF-8: convert the file
// once, before anything reads it, so those paths still list and open.
void ConvertLegacySettingsFile() {
  if (!ProcessCodePageIsUtf8()) return;
  const std::string path = SettingsFilePath();
  std::string bytes;
  if (!ReadWholeSettingsFile(path, &bytes) || IsValidUtf8(bytes.data(), bytes.size())) return;
  std::string converted;
  if (!LegacyTextToUtf8(bytes.data(), bytes.size(), &converted)) return;
  const DWORD size = static_cast<DWORD>(converted.size());
  const std::string temporary = path + ".new";
  FileHandle out(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  bool ok = out.IsValid() &&
            WriteFile(out.Get(), converted.data(), size, &written, nullptr) && written == size;
  ok = out.Close() && ok;
  if (!ok || !MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileA(temporary.c_str());
  }
}

}  // namespace

void ReadSettings(int* x, int* y, int* width, int* height) {
  ConvertLegacySettingsFile();
  *x = ReadInteger("x", -1);
  *y = ReadInteger("y", -1);
  *width = ReadInteger("nx", -1);
  *height = ReadInteger("ny", -1);
  if (!IsPlacementUsable(*x, *y, *width, *height, GetSystemMetrics(SM_CXSCREEN),
                         GetSystemMetrics(SM_CYSCREEN))) {
    *x = *y = *width = *height = CW_USEDEFAULT;
  }
  for (int column = 0; column < 4; ++column) {
    char key[8];
    FormatText(key, sizeof key, "cw%d", column);
    ColumnWidths[column] = ColumnWidthFromSetting(ReadInteger(key, 0));
  }
  ReadRecentFiles();
}

void WriteSettings(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  SettingsWrite decision =
      DecideSettingsWrite(IsZoomed(window) != FALSE, IsIconic(window) != FALSE, rect.left, rect.top,
                          rect.right - rect.left, rect.bottom - rect.top);
  if (decision == kWriteNothing) return;
  if (decision == kWritePlacementAndRest) WritePlacement(rect);
  WriteColumnWidths();
  WriteRecentFiles();
}
