#include "win_support/app.h"

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <unordered_set>

#include "view/control_ids.h"
#include "win32/text.h"
#include "win_support/window_queries.h"

namespace tess::test {
namespace {

// The build passes the program's path as the Linux side sees it; Wine's Z: drive is "/".
std::wstring ExePath() {
  std::wstring path = win32::Widen(TESSALINE_EXE);
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

LPARAM PointParam(POINT point) { return MAKELPARAM(point.x, point.y); }

}  // namespace

std::wstring ProgramFolder() { return FolderOf(ExePath()); }

std::wstring ProgramPath() { return ExePath(); }

std::optional<Finished> RunToEnd(const std::wstring& arguments, std::chrono::milliseconds timeout) {
  SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
  HANDLE read_end = nullptr;
  HANDLE write_end = nullptr;
  if (!CreatePipe(&read_end, &write_end, &inherit, 0)) return std::nullopt;
  win32::UniqueObject reader(read_end);
  win32::UniqueObject writer(write_end);
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  const std::wstring exe = ExePath();
  std::wstring command = L"\"" + exe + L"\" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nullptr;
  startup.hStdOutput = write_end;
  startup.hStdError = write_end;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                      FolderOf(exe).c_str(), &startup, &info)) {
    return std::nullopt;
  }
  CloseHandle(info.hThread);
  win32::UniqueObject process(info.hProcess);
  writer.Reset();
  // Read while the program runs, and stop when it has ended, not when the pipe closes: a
  // process the program's start brought up (Wine's desktop) may inherit the pipe and hold it
  // open for as long as it lives.
  Finished finished;
  const auto drain = [&] {
    DWORD available = 0;
    char buffer[4096];
    while (PeekNamedPipe(read_end, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
      DWORD got = 0;
      if (!ReadFile(read_end, buffer, std::min<DWORD>(available, sizeof(buffer)), &got, nullptr) ||
          got == 0) {
        return;
      }
      finished.output.append(buffer, got);
    }
  };
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (WaitForSingleObject(process.Get(), 10) != WAIT_OBJECT_0) {
    drain();
    if (std::chrono::steady_clock::now() > deadline) {
      TerminateProcess(process.Get(), 1);
      return std::nullopt;
    }
  }
  drain();
  GetExitCodeProcess(process.Get(), &finished.exit_code);
  return finished;
}

std::wstring ArtefactFolder() {
  const std::wstring folder = ProgramFolder() + L"\\e2e-artefacts";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

App::App() : App(ExePath()) {}

App::App(const std::wstring& exe) : App(exe, L"", L"") {}

App::App(const std::wstring& exe, const std::wstring& arguments,
         const std::wstring& current_folder) {
  std::wstring command = L"\"" + exe + L"\"";
  if (!arguments.empty()) command += L" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      current_folder.empty() ? FolderOf(exe).c_str() : current_folder.c_str(),
                      &startup, &info)) {
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

DWORD App::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (process_.Valid()) GetExitCodeProcess(process_.Get(), &code);
  return code;
}

void App::Kill() {
  if (!Running()) return;
  TerminateProcess(process_.Get(), 1);
  WaitForSingleObject(process_.Get(), 5000);
}

HWND App::WaitForMainWindow(std::chrono::milliseconds timeout) {
  WaitUntil(
      [&] {
        main_ = FindTopLevel(process_id_, [](HWND window) {
          return ClassOf(window) == view::kMainWindowClass && TextOf(window) == L"Tessaline";
        });
        return main_ != nullptr || !Running();
      },
      timeout);
  return main_;
}

HWND App::WaitForHiddenMainWindow(std::chrono::milliseconds timeout) {
  WaitUntil(
      [&] {
        main_ = nullptr;
        for (const HWND window : TopLevelWindows()) {
          if (ProcessOf(window) == process_id_ && !IsWindowVisible(window) &&
              ClassOf(window) == view::kMainWindowClass && TextOf(window) == L"Tessaline") {
            main_ = window;
          }
        }
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

std::wstring App::Text(HWND window) const { return TextOf(window); }

int App::CheckState(int id) const { return static_cast<int>(SendWithin(Control(id), BM_GETCHECK)); }

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

std::vector<std::wstring> App::ListItems(int id) const { return test::ListItems(Control(id)); }
int App::ListCount(int id) const { return test::ListCount(Control(id)); }
std::wstring App::ListItem(int id, int index) const { return ListItemText(Control(id), index); }
std::wstring App::ListColumn(int id, int* width_pixels) const {
  return ListColumnText(Control(id), width_pixels);
}
int App::ListSelection(int id) const { return test::ListSelection(Control(id)); }
void App::SelectListItem(int id, int index) { test::SelectListItem(Control(id), index); }
POINT App::ListItemCentre(int id, int index) const {
  return test::ListItemCentre(Control(id), index);
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
  const auto control = reinterpret_cast<UINT_PTR>(Control(id));
  for (const ToolSeen& tool : ToolsOf(process_id_)) {
    if (tool.info.uId == control) return tool.text;
  }
  return L"";
}

void App::Click(int id) { PostMessageW(Control(id), BM_CLICK, 0, 0); }

void App::SetText(int id, const std::wstring& text) {
  SendWithin(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void App::Post(UINT message, WPARAM wparam, LPARAM lparam) {
  PostMessageW(main_, message, wparam, lparam);
}

LRESULT App::Send(UINT message, WPARAM wparam, LPARAM lparam) {
  return SendWithin(main_, message, wparam, lparam, std::chrono::seconds(10));
}

bool App::Settle() {
  // The progress bar's step size is never used by the program, so a posted change of it is a
  // harmless marker that shows when the queue has been worked off up to this point.
  static WPARAM marker = 1000;
  const HWND bar = Control(view::kIdProgressBar);
  const WPARAM mine = ++marker;
  PostMessageW(bar, PBM_SETSTEP, mine, 0);
  return WaitUntil([&] {
    return static_cast<WPARAM>(SendWithin(bar, PBM_GETSTEP, 0, 0, std::chrono::seconds(1))) == mine;
  });
}

HWND App::FindMessageBox() const {
  return FindTopLevel(process_id_, [](HWND window) { return ClassOf(window) == L"#32770"; });
}

HWND App::WaitForMessageBox(std::chrono::milliseconds timeout) const {
  HWND box = nullptr;
  WaitUntil([&] { return (box = FindMessageBox()) != nullptr; }, timeout);
  return box;
}

std::wstring App::MessageBoxText(HWND box) const {
  std::wstring text;
  for (const HWND child : ChildrenOf(box)) {
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    if (ClassOf(child) == L"Static" && (style & SS_TYPEMASK) != SS_ICON) text += TextOf(child);
  }
  return text;
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

}  // namespace tess::test
