#include "e2e/driver.h"

#include <commctrl.h>
#include <shlobj.h>

#include <thread>
#include <unordered_set>

#include "platform/win32/control_ids.h"

namespace tess::e2e {

namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\VB and VBA Program Settings\\Quintaro\\Tessaline";
constexpr int kRemoteTextChars = 4096;

std::wstring FromUtf8(const char* text) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n : 1), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, out.data(), n);
  out.resize(out.size() - 1);
  return out;
}

// The build passes the program's path as the Linux side sees it; Wine's Z: drive is "/".
std::wstring ExePath() {
  std::wstring path = FromUtf8(TESSALINE_EXE);
  if (!path.empty() && path[0] == L'/') {
    for (auto& c : path) {
      if (c == L'/') c = L'\\';
    }
    path = L"Z:" + path;
  }
  return path;
}

std::wstring FolderOf(const std::wstring& path) {
  const auto slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

std::wstring ClassName(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

DWORD OwnerProcess(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

// Finds the first visible top-level window of the process that matches.
HWND FindTopLevel(DWORD pid, const std::function<bool(HWND)>& match) {
  struct Search {
    DWORD pid;
    const std::function<bool(HWND)>* match;
    HWND found;
  } search{pid, &match, nullptr};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (OwnerProcess(window) != s->pid || !IsWindowVisible(window)) return TRUE;
        if (!(*s->match)(window)) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Memory inside the program's process, for list-view messages that carry pointers.
class RemoteMemory {
 public:
  RemoteMemory(HANDLE process, size_t size)
      : process_(process),
        base_(static_cast<char*>(
            VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))) {}
  ~RemoteMemory() {
    if (base_ != nullptr) VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;
  char* At(size_t offset) const { return base_ + offset; }
  bool Valid() const { return base_ != nullptr; }
  void Write(size_t offset, const void* data, size_t size) const {
    WriteProcessMemory(process_, base_ + offset, data, size, nullptr);
  }
  void Read(size_t offset, void* data, size_t size) const {
    ReadProcessMemory(process_, base_ + offset, data, size, nullptr);
  }

 private:
  HANDLE process_;
  char* base_;
};

LPARAM PointParam(POINT point) { return MAKELPARAM(point.x, point.y); }

}  // namespace

void ClearSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey); }

void SeedSetting(const std::wstring& key, const std::wstring& value) {
  RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, key.c_str(), REG_SZ, value.c_str(),
                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::optional<std::wstring> ReadSetting(const std::wstring& key) {
  DWORD bytes = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, key.c_str(), RRF_RT_REG_SZ, nullptr, nullptr,
                   &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
  if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, key.c_str(), RRF_RT_REG_SZ, nullptr,
                   value.data(), &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.resize(wcslen(value.c_str()));
  return value;
}

std::wstring DesktopFolder() {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, path))) return L"";
  return std::wstring(path) + L"\\";
}

std::wstring ProgramFolder() { return FolderOf(ExePath()); }

std::wstring ArtefactFolder() {
  const std::wstring folder = FolderOf(ExePath()) + L"\\e2e-artefacts";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

App::App() {
  const std::wstring exe = ExePath();
  std::wstring command = L"\"" + exe + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      FolderOf(exe).c_str(), &startup, &info)) {
    return;
  }
  CloseHandle(info.hThread);
  process_.Reset(info.hProcess);
  process_id_ = info.dwProcessId;
}

App::~App() { Kill(); }

bool App::Running() const {
  return process_.Valid() && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

bool App::WaitForExit(std::chrono::milliseconds timeout) {
  if (!process_.Valid()) return true;
  return WaitForSingleObject(process_.Get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

void App::Kill() {
  if (!Running()) return;
  TerminateProcess(process_.Get(), 1);
  WaitForSingleObject(process_.Get(), 5000);
}

HWND App::WaitForMainWindow(std::chrono::milliseconds timeout) {
  WaitUntil(
      [&] {
        main_ = FindTopLevel(process_id_, [&](HWND window) {
          return ClassName(window) == win32::kMainWindowClass && Text(window) == L"Tessaline";
        });
        return main_ != nullptr || !Running();
      },
      timeout);
  return main_;
}

HWND App::Control(int id) const { return main_ != nullptr ? GetDlgItem(main_, id) : nullptr; }

int App::Dpi() const {
  using GetDpiFn = UINT(WINAPI*)(HWND);
  const auto get_dpi = reinterpret_cast<GetDpiFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (get_dpi != nullptr && main_ != nullptr && get_dpi(main_) != 0) {
    return static_cast<int>(get_dpi(main_));
  }
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

std::wstring App::Text(HWND window) const {
  if (window == nullptr) return L"";
  DWORD_PTR length = 0;
  SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
  std::wstring text(length + 1, L'\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 5000, &got);
  text.resize(got);
  return text;
}

int App::CheckState(int id) const {
  return static_cast<int>(SendMessageW(Control(id), BM_GETCHECK, 0, 0));
}

bool App::Visible(int id) const { return IsWindowVisible(Control(id)) != FALSE; }
bool App::Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
bool App::Iconic() const { return IsIconic(main_) != FALSE; }
bool App::MainVisible() const { return IsWindowVisible(main_) != FALSE; }

Place App::PlaceOf(int id) const {
  RECT rect = {};
  GetWindowRect(Control(id), &rect);
  MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&rect), 2);
  return Place{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

std::vector<std::wstring> App::ListItems(int id) const {
  std::vector<std::wstring> items;
  const int count = ListCount(id);
  for (int i = 0; i < count; ++i) items.push_back(ListItem(id, i));
  return items;
}

std::wstring App::ListItem(int id, int index) const {
  RemoteMemory remote(process_.Get(), sizeof(LVITEMW) + kRemoteTextChars * sizeof(wchar_t));
  if (!remote.Valid()) return L"";
  LVITEMW item = {};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = reinterpret_cast<LPWSTR>(remote.At(sizeof(LVITEMW)));
  item.cchTextMax = kRemoteTextChars;
  remote.Write(0, &item, sizeof(item));
  const int length = static_cast<int>(
      SendMessageW(Control(id), LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(remote.At(0))));
  std::wstring text(static_cast<size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) remote.Read(sizeof(LVITEMW), text.data(), length * sizeof(wchar_t));
  return text;
}

int App::ListCount(int id) const {
  return static_cast<int>(SendMessageW(Control(id), LVM_GETITEMCOUNT, 0, 0));
}

std::wstring App::ListColumn(int id, int* width_pixels) const {
  RemoteMemory remote(process_.Get(), sizeof(LVCOLUMNW) + kRemoteTextChars * sizeof(wchar_t));
  if (!remote.Valid()) return L"";
  LVCOLUMNW column = {};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = reinterpret_cast<LPWSTR>(remote.At(sizeof(LVCOLUMNW)));
  column.cchTextMax = kRemoteTextChars;
  remote.Write(0, &column, sizeof(column));
  if (!SendMessageW(Control(id), LVM_GETCOLUMNW, 0, reinterpret_cast<LPARAM>(remote.At(0)))) {
    return L"";
  }
  remote.Read(0, &column, sizeof(column));
  if (width_pixels != nullptr) *width_pixels = column.cx;
  std::wstring text(kRemoteTextChars, L'\0');
  remote.Read(sizeof(LVCOLUMNW), text.data(), text.size() * sizeof(wchar_t));
  text.resize(wcsnlen(text.c_str(), text.size()));
  return text;
}

int App::ListSelection(int id) const {
  return static_cast<int>(
      SendMessageW(Control(id), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void App::SelectListItem(int id, int index) {
  RemoteMemory remote(process_.Get(), sizeof(LVITEMW));
  LVITEMW item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  remote.Write(0, &item, sizeof(item));
  SendMessageW(Control(id), LVM_SETITEMSTATE, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(remote.At(0)));
}

POINT App::ListItemCentre(int id, int index) const {
  RemoteMemory remote(process_.Get(), sizeof(RECT));
  RECT rect = {};
  rect.left = LVIR_BOUNDS;
  remote.Write(0, &rect, sizeof(rect));
  SendMessageW(Control(id), LVM_GETITEMRECT, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(remote.At(0)));
  remote.Read(0, &rect, sizeof(rect));
  return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void App::DoubleClickList(int id, POINT point) {
  const HWND list = Control(id);
  PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(point));
  PostMessageW(list, WM_LBUTTONUP, 0, PointParam(point));
  PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, PointParam(point));
  PostMessageW(list, WM_LBUTTONUP, 0, PointParam(point));
}

void App::KeyDown(int id, WORD key) {
  const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
  PostMessageW(Control(id), WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
  PostMessageW(Control(id), WM_KEYUP, key, static_cast<LPARAM>(1 | (scan << 16) | 0xC0000000u));
}

std::wstring App::ToolTipOf(int id) const {
  struct Search {
    DWORD pid;
    std::vector<HWND> tips;
  } search{process_id_, {}};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (OwnerProcess(window) == s->pid && ClassName(window) == TOOLTIPS_CLASSW) {
          s->tips.push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  const HWND control = Control(id);
  RemoteMemory remote(process_.Get(), sizeof(TOOLINFOW) + kRemoteTextChars * sizeof(wchar_t));
  if (!remote.Valid()) return L"";
  for (const HWND tip : search.tips) {
    const int tools = static_cast<int>(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
    for (int i = 0; i < tools; ++i) {
      TOOLINFOW info = {};
      info.cbSize = sizeof(info);
      info.lpszText = reinterpret_cast<LPWSTR>(remote.At(sizeof(TOOLINFOW)));
      remote.Write(0, &info, sizeof(info));
      const wchar_t empty = L'\0';
      remote.Write(sizeof(TOOLINFOW), &empty, sizeof(empty));
      if (!SendMessageW(tip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(remote.At(0)))) continue;
      remote.Read(0, &info, sizeof(info));
      if (info.uId != reinterpret_cast<UINT_PTR>(control)) continue;
      std::wstring text(kRemoteTextChars, L'\0');
      remote.Read(sizeof(TOOLINFOW), text.data(), text.size() * sizeof(wchar_t));
      text.resize(wcsnlen(text.c_str(), text.size()));
      return text;
    }
  }
  return L"";
}

void App::Click(int id) { PostMessageW(Control(id), BM_CLICK, 0, 0); }

void App::SetText(int id, const std::wstring& text) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                      SMTO_ABORTIFHUNG, 5000, &result);
}

void App::Post(UINT message, WPARAM wparam, LPARAM lparam) {
  PostMessageW(main_, message, wparam, lparam);
}

LRESULT App::Send(UINT message, WPARAM wparam, LPARAM lparam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(main_, message, wparam, lparam, SMTO_ABORTIFHUNG, 10000, &result);
  return static_cast<LRESULT>(result);
}

bool App::Settle() {
  // The progress bar's step size is never used by the program, so a posted change of it is a
  // harmless marker that shows when the queue has been worked off up to this point.
  static WPARAM marker = 1000;
  const HWND bar = Control(win32::kIdProgressBar1);
  const WPARAM mine = ++marker;
  PostMessageW(bar, PBM_SETSTEP, mine, 0);
  return WaitUntil([&] {
    DWORD_PTR step = 0;
    SendMessageTimeoutW(bar, PBM_GETSTEP, 0, 0, SMTO_ABORTIFHUNG, 1000, &step);
    return step == mine;
  });
}

HWND App::FindMessageBox() const {
  return FindTopLevel(process_id_, [](HWND window) { return ClassName(window) == L"#32770"; });
}

HWND App::WaitForMessageBox(std::chrono::milliseconds timeout) const {
  HWND box = nullptr;
  WaitUntil([&] { return (box = FindMessageBox()) != nullptr; }, timeout);
  return box;
}

std::wstring App::MessageBoxText(HWND box) const {
  struct Collect {
    const App* app;
    std::wstring text;
  } collect{this, L""};
  EnumChildWindows(
      box,
      [](HWND child, LPARAM data) -> BOOL {
        auto* c = reinterpret_cast<Collect*>(data);
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        if (ClassName(child) == L"Static" && (style & SS_TYPEMASK) != SS_ICON) {
          c->text += c->app->Text(child);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&collect));
  return collect.text;
}

void App::PressButton(HWND box, int button_id) {
  PostMessageW(GetDlgItem(box, button_id), BM_CLICK, 0, 0);
}

COLORREF App::PixelAt(POINT client) const {
  ClientToScreen(main_, &client);
  const HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, client.x, client.y);
  ReleaseDC(nullptr, screen);
  return colour;
}

int App::SaveScreenshot(const std::wstring& path) const {
  RECT rect = {};
  if (main_ == nullptr || !GetWindowRect(main_, &rect)) return 0;
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return 0;
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, old);

  BITMAPINFOHEADER header = {};
  header.biSize = sizeof(header);
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  const int stride = (width * 3 + 3) & ~3;
  std::vector<unsigned char> pixels(static_cast<size_t>(stride) * height);
  GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header),
            DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(file) + sizeof(header);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  win32::UniqueFile out(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out.Valid()) return 0;
  DWORD written = 0;
  WriteFile(out.Get(), &file, sizeof(file), &written, nullptr);
  WriteFile(out.Get(), &header, sizeof(header), &written, nullptr);
  WriteFile(out.Get(), pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);

  std::unordered_set<unsigned> colours;
  for (int y = 0; y < height; ++y) {
    const unsigned char* row = pixels.data() + static_cast<size_t>(y) * stride;
    for (int x = 0; x < width; ++x) {
      colours.insert(row[x * 3] | (row[x * 3 + 1] << 8) | (row[x * 3 + 2] << 16));
    }
  }
  return static_cast<int>(colours.size());
}

}  // namespace tess::e2e
