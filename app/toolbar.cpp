#include "app/toolbar.h"

#include <commctrl.h>
#include <shlwapi.h>

#include "app/app_state.h"
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
const int kImageWidth = 16;
const int kImageHeight = 15;
const COLORREF kTransparent = RGB(192, 192, 192);

DWORD CachedComctlVersion = 0;
HBRUSH ToolbarBackgroundBrush = nullptr;
WNDPROC ToolbarPreviousProc = nullptr;

void RecreateToolbarBrush() {
  DeleteToolbarBrush();
  ToolbarBackgroundBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
}

LRESULT CALLBACK ToolbarSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND) {
    RECT client;
    GetClientRect(window, &client);
    FillRect(reinterpret_cast<HDC>(wParam), &client, ToolbarBackgroundBrush);
    return 1;
  }
  if (message == WM_SYSCOLORCHANGE) RecreateToolbarBrush();
  return CallWindowProcA(ToolbarPreviousProc, window, message, wParam, lParam);
}

// Hands the toolbar an image list made from the bitmap (released here in any case).
void SetImageList(HWND toolbar, UINT message, HBITMAP bitmap) {
  if (!bitmap) return;
  HIMAGELIST images =
      ImageList_Create(kImageWidth, kImageHeight, ILC_COLOR24 | ILC_MASK, kToolbarSlotCount, 4);
  if (images) {
    ImageList_AddMasked(images, bitmap, kTransparent);
    SendMessageA(toolbar, message, 0, reinterpret_cast<LPARAM>(images));
  }
  DeleteObject(bitmap);
}

void AddHotImages(HWND toolbar) {
  SetImageList(toolbar, TB_SETHOTIMAGELIST, LoadBitmapA(AppInstance, MAKEINTRESOURCEA(IDB_TOOLBAR_HOT)));
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

void AddDisabledImages(HWND toolbar) {
  HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(AppInstance, MAKEINTRESOURCEA(IDB_TOOLBAR),
                                                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (bitmap) WashOutPixels(bitmap);
  SetImageList(toolbar, TB_SETDISABLEDIMAGELIST, bitmap);
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

HWND CreateToolbar(HWND parent) {
  TBBUTTON buttons[kToolbarSlotCount];
  HWND toolbar = CreateWindowExA(
      0, TOOLBARCLASSNAMEA, nullptr, WS_CHILD | TBSTYLE_TOOLTIPS | TBSTYLE_WRAPABLE | TBSTYLE_FLAT,
      0, 0, 0, 0, parent, reinterpret_cast<HMENU>(IDC_TOOLBAR), AppInstance, nullptr);
  if (!toolbar) return nullptr;
  SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageA(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(kImageWidth, kImageHeight));
  TBADDBITMAP bitmap = {AppInstance, IDB_TOOLBAR};
  SendMessageA(toolbar, TB_ADDBITMAP, kToolbarSlotCount, reinterpret_cast<LPARAM>(&bitmap));
  bool modern = ComctlVersion() >= kHotImagesVersion;
  if (modern) {
    AddHotImages(toolbar);
    AddDisabledImages(toolbar);
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

void DeleteToolbarBrush() {
  if (ToolbarBackgroundBrush) DeleteObject(ToolbarBackgroundBrush);
  ToolbarBackgroundBrush = nullptr;
}
