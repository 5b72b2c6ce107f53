#include "settings/settings.h"

#include <cstdio>
#include <string>

#include "common/bounded_text.h"
#include "common/code_pages.h"
#include "common/dpi_scale.h"
#include "common/utf8_text.h"
#include "settings/placement.h"
#include "settings/recent_files_store.h"

const char kSettingsFile[] = "dorvex.ini";
const char kSettingsSection[] = "Misc";
int ColumnWidths[4] = {kDefaultColumnWidth, kDefaultColumnWidth, kDefaultColumnWidth,
                       kDefaultColumnWidth};
bool ColumnWidthStored[4] = {false, false, false, false};
int ColumnWidthDpi = kBaseDpi;

namespace {

const char kColumnDpiKey[] = "cwdpi";

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

// Older versions read the widths and ignore the DPI, as they always have.
void WriteColumnWidths(const int widths[4], int dpi) {
  for (int column = 0; column < 4; ++column) {
    int width = widths[column];
    // A column dragged shut keeps its stored width, at the DPI the others are written at.
    if (width <= 0 && ColumnWidthStored[column]) {
      width = ColumnWidthAtDpi(ColumnWidths[column], ColumnWidthDpi, dpi);
    }
    char key[8];
    FormatText(key, sizeof key, "cw%d", column);
    if (width > 0) WriteInteger(key, width);
  }
  WriteInteger(kColumnDpiKey, dpi);
}

std::string SettingsFilePath() {
  char directory[MAX_PATH] = "";
  GetWindowsDirectoryA(directory, sizeof directory);
  return std::string(directory) + "\\" + kSettingsFile;
}

// The whole file, if it is there and of a settings file's size.
bool ReadWholeSettingsFile(const std::string& path, std::string* bytes) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  char chunk[4096];
  size_t read;
  while ((read = std::fread(chunk, 1, sizeof chunk, file)) > 0 && bytes->size() <= (1u << 20)) {
    bytes->append(chunk, read);
  }
  const bool whole = !std::ferror(file) && bytes->size() <= (1u << 20);
  std::fclose(file);
  return whole;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
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
  const std::string temporary = path + ".new";
  if (!WriteWholeFile(temporary, converted) ||
      !MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
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
    const int stored = ReadInteger(key, 0);
    ColumnWidths[column] = ColumnWidthFromSetting(stored);
    ColumnWidthStored[column] = stored > 0;
  }
  ColumnWidthDpi = ReadInteger(kColumnDpiKey, kBaseDpi);
  ReadRecentFiles();
}

void WriteSettings(HWND window, const int columnWidths[4], int dpi) {
  RECT rect;
  GetWindowRect(window, &rect);
  SettingsWrite decision =
      DecideSettingsWrite(IsZoomed(window) != FALSE, IsIconic(window) != FALSE, rect.left, rect.top,
                          rect.right - rect.left, rect.bottom - rect.top);
  if (decision == kWriteNothing) return;
  if (decision == kWritePlacementAndRest) WritePlacement(rect);
  WriteColumnWidths(columnWidths, dpi);
  WriteRecentFiles();
}

void ReadDigestSetting(char* value, unsigned valueSize) {
  GetPrivateProfileStringA(kSettingsSection, "digest", "", value, valueSize, kSettingsFile);
}

void WriteDigestSetting(const char* value) {
  WritePrivateProfileStringA(kSettingsSection, "digest", value, kSettingsFile);
}
