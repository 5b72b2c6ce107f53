#include "app/toolbar.h"

#include <commctrl.h>
#include <shlwapi.h>

#include "app/app_state.h"
#include "app/dpi_rules.h"
#include "resources/resource.h"

const ToolbarSlot ToolbarButtonTable[kToolbarSlotCount] = {
    {IDM_NEW, "New"},
    {IDM_OPEN, "Open"},
    {IDM_SAVE, "Save"},
    {-1, ""},
    {IDM_SET_BASE_DIRECTORY, "Set Base Directory"},
    {IDM_VERIFY_ALL, "Verify All"},
    {IDM_RECALCULATE_ALL, "Recalculate All"},
    {-1, ""},
    {IDM_ADD_DIRECTORY, "Add Directory"},
    {IDM_ADD_FILES, "Add Files"},
    {-1, ""},
    {IDM_SELECT_ALL, "Select All"},
    {IDM_COPY, "Copy Selected Items"},
    {IDM_DELETE, "Delete Selected Items"},
    {IDM_VERIFY_SELECTED, "Verify Selected Items"},
    {IDM_RECALCULATE_SELECTED, "Recalculate Selected Items"},
    {-1, ""},
    {IDM_HELP_CONTENTS, "Help"},
    {IDM_ABOUT, "About"},
    {-1, ""},
    {IDM_STOP, "Stop"},
};

namespace {

const DWORD kHotImagesVersion = 0x40046;  // 4.70
// The pictures of one DPI: their bitmaps and the size of each.
struct PictureSet {
  int normal, hot;
  int width, height;
};

PictureSet PicturesFor(int dpi) {
  const int scale = PictureScale(dpi);
  const PictureSet set = {scale == 200 ? IDB_TOOLBAR_200 : scale == 150 ? IDB_TOOLBAR_150 : IDB_TOOLBAR,
                          scale == 200   ? IDB_TOOLBAR_HOT_200
                          : scale == 150 ? IDB_TOOLBAR_HOT_150
                                         : IDB_TOOLBAR_HOT,
                          PictureSide(16, scale), PictureSide(15, scale)};
  return set;
}
const COLORREF kTransparent = RGB(192, 192, 192);

DWORD CachedComctlVersion = 0;
HBRUSH ToolbarBackgroundBrush = nullptr;
WNDPROC ToolbarPreviousProc = nullptr;

void RecreateToolbarBrush() {
  DeleteToolbarBrush();
  ToolbarBackgroundBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
}

// The picture lists are the program's (a toolbar destroys none set on it): read before the
// toolbar lets go of its state, destroyed once it no longer draws with them.
LRESULT DestroyWithPictureLists(HWND toolbar, WPARAM wParam, LPARAM lParam) {
  const UINT getters[] = {TB_GETIMAGELIST, TB_GETHOTIMAGELIST, TB_GETDISABLEDIMAGELIST};
  HIMAGELIST lists[3];
  for (int i = 0; i < 3; ++i) {
    lists[i] = reinterpret_cast<HIMAGELIST>(SendMessageA(toolbar, getters[i], 0, 0));
  }
  const LRESULT result = CallWindowProcA(ToolbarPreviousProc, toolbar, WM_DESTROY, wParam, lParam);
  for (HIMAGELIST images : lists) {
    if (images) ImageList_Destroy(images);
  }
  return result;
}

LRESULT CALLBACK ToolbarSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND) {
    RECT client;
    GetClientRect(window, &client);
    FillRect(reinterpret_cast<HDC>(wParam), &client, ToolbarBackgroundBrush);
    return 1;
  }
  if (message == WM_SYSCOLORCHANGE) RecreateToolbarBrush();
  if (message == WM_DESTROY) return DestroyWithPictureLists(window, wParam, lParam);
  return CallWindowProcA(ToolbarPreviousProc, window, message, wParam, lParam);
}

// An image list made from the bitmap (released here in any case); null when none could be made.
HIMAGELIST CreatePictureList(HBITMAP bitmap, const PictureSet& set) {
  if (!bitmap) return nullptr;
  HIMAGELIST images =
      ImageList_Create(set.width, set.height, ILC_COLOR24 | ILC_MASK, kToolbarSlotCount, 4);
  if (images) ImageList_AddMasked(images, bitmap, kTransparent);
  DeleteObject(bitmap);
  return images;
}

// Hands the toolbar a list in place of the one it had, which goes once it is no longer used.
void ReplacePictureList(HWND toolbar, UINT message, HIMAGELIST images) {
  if (!images) return;
  auto before = reinterpret_cast<HIMAGELIST>(
      SendMessageA(toolbar, message, 0, reinterpret_cast<LPARAM>(images)));
  if (before && before != images) ImageList_Destroy(before);
}

HBITMAP LoadPictures(int id) {
  return static_cast<HBITMAP>(
      LoadImageA(AppInstance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

// Greyed buttons: the normal pictures washed out to light grey, so a disabled button still
// shows its subject instead of the solid block some control versions draw.
void WashOutPixels(HBITMAP bitmap) {
  DIBSECTION section;
  if (GetObjectA(bitmap, sizeof section, &section) != sizeof section) return;
  if (section.dsBm.bmBitsPixel != 24 || !section.dsBm.bmBits) return;
  auto* rows = static_cast<unsigned char*>(section.dsBm.bmBits);
  for (int y = 0; y < section.dsBm.bmHeight; ++y) {
    unsigned char* pixel = rows + y * section.dsBm.bmWidthBytes;
    for (int x = 0; x < section.dsBm.bmWidth; ++x, pixel += 3) {
      if (pixel[0] == 192 && pixel[1] == 192 && pixel[2] == 192) continue;
      int grey = (pixel[0] * 11 + pixel[1] * 59 + pixel[2] * 30) / 100;
      int washed = 128 + grey / 2;
      if (washed == 192) washed = 191;  // never the transparent colour
      pixel[0] = pixel[1] = pixel[2] = static_cast<unsigned char>(washed);
    }
  }
}

HBITMAP LoadWashedOutPictures(int id) {
  HBITMAP bitmap = LoadPictures(id);
  if (bitmap) WashOutPixels(bitmap);
  return bitmap;
}

// The normal, hot and greyed pictures drawn for the DPI, each list replacing the one before.
void InstallPictureLists(HWND toolbar, const PictureSet& set) {
  SendMessageA(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(set.width, set.height));
  ReplacePictureList(toolbar, TB_SETIMAGELIST, CreatePictureList(LoadPictures(set.normal), set));
  ReplacePictureList(toolbar, TB_SETHOTIMAGELIST, CreatePictureList(LoadPictures(set.hot), set));
  ReplacePictureList(toolbar, TB_SETDISABLEDIMAGELIST,
                     CreatePictureList(LoadWashedOutPictures(set.normal), set));
}

void FillButtons(TBBUTTON* buttons) {
  for (int slot = 0; slot < kToolbarSlotCount; ++slot) {
    TBBUTTON& button = buttons[slot];
    ZeroMemory(&button, sizeof button);
    bool separator = ToolbarButtonTable[slot].commandId == -1;
    button.iBitmap = separator ? 0 : slot;
    button.idCommand = separator ? 0 : ToolbarButtonTable[slot].commandId;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = separator ? TBSTYLE_SEP : TBSTYLE_BUTTON;
  }
}

}  // namespace

const char* LookupTooltipText(int commandId) {
  for (int slot = kToolbarSlotCount - 1; slot >= 0; --slot) {
    if (ToolbarButtonTable[slot].commandId == commandId) return ToolbarButtonTable[slot].tooltip;
  }
  return " ";
}

DWORD ComctlVersion() {
  if (CachedComctlVersion != 0) return CachedComctlVersion;
  HMODULE library = LoadLibraryA("comctl32.dll");
  if (!library) return 0;
  CachedComctlVersion = 0x40000;
  auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
      reinterpret_cast<void*>(GetProcAddress(library, "DllGetVersion")));
  if (getVersion) {
    DLLVERSIONINFO info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    if (getVersion(&info) == S_OK) {
      CachedComctlVersion = (info.dwMajorVersion & 0xFFFF) << 16 | (info.dwMinorVersion & 0xFFFF);
    }
  }
  FreeLibrary(library);
  return CachedComctlVersion;
}

HWND CreateToolbar(HWND parent, int dpi) {
  const PictureSet set = PicturesFor(dpi);
  TBBUTTON buttons[kToolbarSlotCount];
  HWND toolbar = CreateWindowExA(
      0, TOOLBARCLASSNAMEA, nullptr, WS_CHILD | TBSTYLE_TOOLTIPS | TBSTYLE_WRAPABLE | TBSTYLE_FLAT,
      0, 0, 0, 0, parent, reinterpret_cast<HMENU>(IDC_TOOLBAR), AppInstance, nullptr);
  if (!toolbar) return nullptr;
  SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  const bool modern = ComctlVersion() >= kHotImagesVersion;
  if (modern) {
    InstallPictureLists(toolbar, set);
  } else {
    SendMessageA(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(set.width, set.height));
    TBADDBITMAP bitmap = {AppInstance, static_cast<UINT_PTR>(set.normal)};
    SendMessageA(toolbar, TB_ADDBITMAP, kToolbarSlotCount, reinterpret_cast<LPARAM>(&bitmap));
  }
  FillButtons(buttons);
  SendMessageA(toolbar, TB_ADDBUTTONSA, kToolbarSlotCount, reinterpret_cast<LPARAM>(buttons));
  if (modern) {
    RecreateToolbarBrush();
    ToolbarPreviousProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(toolbar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ToolbarSubclassProc)));
  }
  SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
  ShowWindow(toolbar, SW_SHOW);
  return toolbar;
}

void ApplyToolbarDpi(HWND toolbar, int dpi) {
  // Controls older than 4.70 come only with systems that never change a window's DPI.
  if (!toolbar || ComctlVersion() < kHotImagesVersion) return;
  InstallPictureLists(toolbar, PicturesFor(dpi));
  SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
  InvalidateRect(toolbar, nullptr, TRUE);
}

void DeleteToolbarBrush() {
  if (ToolbarBackgroundBrush) DeleteObject(ToolbarBackgroundBrush);
  ToolbarBackgroundBrush = nullptr;
}
