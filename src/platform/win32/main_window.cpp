#include "platform/win32/main_window.h"

#include <commctrl.h>

#include "platform/win32/control_ids.h"
#include "platform/win32/dpi.h"
#include "platform/win32/text.h"
#include "platform/win32/view_handles.h"
#include "platform/win32/win_notify_icon.h"
#include "resource_ids.h"

namespace tess::win32 {

namespace {
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = WS_EX_APPWINDOW;
// The design's client area in twips: two 7800-twip columns with 120-twip margins and gap.
constexpr int kClientWidthTwips = 15960;
constexpr int kClientHeightTwips = 5865;

void RegisterWindowClass(HINSTANCE instance, HICON large_icon, HICON small_icon, WNDPROC proc) {
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = proc;
  window_class.hInstance = instance;
  window_class.hIcon = large_icon;
  window_class.hIconSm = small_icon;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.lpszClassName = kMainWindowClass;
  RegisterClassExW(&window_class);  // fails harmlessly when already registered
}

HICON LoadAppIcon(HINSTANCE instance, int metric_x, int metric_y) {
  return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                       GetSystemMetrics(metric_x), GetSystemMetrics(metric_y),
                                       LR_SHARED));
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance) : instance_(instance) {
  large_icon_ = LoadAppIcon(instance, SM_CXICON, SM_CYICON);
  small_icon_ = LoadAppIcon(instance, SM_CXSMICON, SM_CYSMICON);
  RegisterWindowClass(instance, large_icon_, small_icon_, Proc);
  CreateWindowExW(kWindowExStyle, kMainWindowClass, L"", kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
  if (!window_) ThrowLastError(GetLastError());
  dpi_ = DpiForWindow(window_.Get());
  SizeAndCentre();
}

MainWindow::~MainWindow() {
  Detach();
  window_.Reset();
}

MainWindow::Attachment MainWindow::Attach(Form1& form) {
  form_ = &form;
  CreateControls(form);
  MakeFonts();
  Layout();
  for (const auto& control : controls_) control->Attach();
  form_->SetWindowListener([this] { ShowWindowModel(); });
  form_->Timer1.SetViewListener([this] { ApplyTimer(); });
  ShowWindowModel();
  ApplyTimer();
  return Attachment(*this);
}

void MainWindow::Detach() {
  if (form_ == nullptr) return;
  form_->SetWindowListener(nullptr);
  form_->Timer1.SetViewListener(nullptr);
  for (const auto& control : controls_) control->Detach();
  if (window_) KillTimer(window_.Get(), kTimer1Id);
  form_ = nullptr;
}

void MainWindow::Load() {
  if (form_ == nullptr) return;
  boundary_.Run([&] { form_->Form_Load(); });
  for (const auto& control : controls_) control->ShowPending();
}

void MainWindow::ShowFirstTime() {
  if (!window_ || form_ == nullptr) return;
  shown_ = true;
  ApplyWindowState();
  if (IsWindowVisible(window_.Get())) UpdateWindow(window_.Get());
}

void MainWindow::SizeAndCentre() {
  const SIZE size = WindowSizeForClient(TwipsToPixels(kClientWidthTwips, dpi_),
                                        TwipsToPixels(kClientHeightTwips, dpi_), kWindowStyle,
                                        kWindowExStyle, dpi_);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(window_.Get(), MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& work = monitor.rcWork;
  const int x = work.left + ((work.right - work.left) - size.cx) / 2;
  const int y = work.top + ((work.bottom - work.top) - size.cy) / 2;
  SetWindowPos(window_.Get(), nullptr, x, y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::ShowWindowModel() {
  if (!window_ || form_ == nullptr) return;
  ShowWindowText(window_.Get(), Widen(form_->Caption()));

  if (appearance_.Show(*form_, window_.Get())) {
    InvalidateRect(window_.Get(), nullptr, TRUE);
    for (const auto& control : controls_) InvalidateRect(control->Window(), nullptr, TRUE);
  }
  ApplyWindowState();
}

void MainWindow::ApplyWindowState() {
  if (!shown_ || !window_ || form_ == nullptr) return;
  const HWND window = window_.Get();
  // The size messages our own ShowWindow calls cause are not the user's doing.
  ++applying_state_;
  const bool visible_now = (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0;
  if (!form_->Visible()) {
    if (visible_now) ShowWindow(window, SW_HIDE);
  } else if (form_->State() == WindowState::kMinimized) {
    if (!IsIconic(window)) ShowWindow(window, visible_now ? SW_MINIMIZE : SW_SHOWMINIMIZED);
  } else if (IsIconic(window)) {
    // A window hidden in the tray is still minimised underneath: restore and show in one go.
    ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
  } else if (!visible_now) {
    ShowWindow(window, SW_SHOWNORMAL);
    SetForegroundWindow(window);
  }
  --applying_state_;
}

void MainWindow::ApplyTimer() {
  if (!window_ || form_ == nullptr) return;
  const int interval = form_->Timer1.Interval();
  if (interval > 0) {
    SetTimer(window_.Get(), kTimer1Id, static_cast<UINT>(interval), nullptr);
  } else {
    KillTimer(window_.Get(), kTimer1Id);
  }
}

void MainWindow::OnSize(WPARAM kind) {
  if (applying_state_ > 0 || form_ == nullptr || !shown_) return;
  if (kind == SIZE_MINIMIZED) {
    boundary_.Run([&] { form_->SetWindowState(WindowState::kMinimized); });
  } else if (kind == SIZE_RESTORED) {
    boundary_.Run([&] { form_->SetWindowState(WindowState::kNormal); });
  }
}

void MainWindow::RunCloseRequest() {
  if (close_requested_ || form_ == nullptr) return;
  close_requested_ = true;
  boundary_.Run([&] { form_->Form_QueryUnload(); });
}

void MainWindow::EndProgram() {
  if (ended_) return;
  ended_ = true;
  // A handler further down the stack (a backup run letting events through) must not go on
  // once the program has ended: the close request has already stored everything.
  const bool handler_running = boundary_.Depth() > 0;
  if (form_ != nullptr) boundary_.Run([&] { form_->Form_Unload(); });
  if (handler_running) ExitProcess(0);
  Detach();
  window_.Reset();
}

void MainWindow::Close() {
  RunCloseRequest();
  EndProgram();
}

LRESULT CALLBACK MainWindow::Proc(HWND window, UINT message, WPARAM wparam,
                                  LPARAM lparam) noexcept {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->window_.Reset(window);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else if (auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA))) {
    // A handler that throws has done what it could; the message counts as handled.
    const std::optional<LRESULT> result =
        Fenced([&] { return self->OnMessage(message, wparam, lparam); }, std::optional<LRESULT>(0));
    if (result) return *result;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

std::optional<LRESULT> MainWindow::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam));
      return 0;
    case WM_NOTIFY:
      OnNotify(*reinterpret_cast<const NMHDR*>(lparam));
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (const HBRUSH brush =
              OnControlColor(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam))) {
        return reinterpret_cast<LRESULT>(brush);
      }
      break;
    case WM_ERASEBKGND:
      appearance_.PaintBackground(window_.Get(), reinterpret_cast<HDC>(wparam));
      return 1;
    case WM_SETCURSOR:
      if (form_ != nullptr) {
        OnPointerOver(reinterpret_cast<HWND>(wparam), lparam);
        if (appearance_.SetPointer(form_->MousePointer(), lparam, reinterpret_cast<HWND>(wparam),
                                   window_.Get())) {
          return TRUE;
        }
      }
      break;
    case WM_TIMER:
      if (wparam == kTimer1Id && form_ != nullptr) {
        boundary_.Run([&] { form_->Timer1_Timer(); });
        return 0;
      }
      break;
    case kTrayCallbackMessage:
      if (const auto event = TrayEventFrom(lparam); event && form_ != nullptr) {
        boundary_.Run([&] { form_->cSysTray1.Dispatch(*event, static_cast<int>(wparam)); });
      }
      return 0;
    case WM_SIZE:
      OnSize(wparam);
      return 0;
    case WM_ACTIVATE:
      // A plain window forgets which control had the focus; give it back on return.
      if (LOWORD(wparam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window_.Get(), focus)) last_focus_ = focus;
      } else if (last_focus_ != nullptr && IsWindow(last_focus_) && !IsIconic(window_.Get())) {
        SetFocus(last_focus_);
        return 0;
      }
      break;
    case DM_GETDEFID: {
      // Enter presses the push button that has the focus, as in a dialog.
      const ControlBinding* focused = Find(GetFocus());
      if (focused != nullptr && focused->PressedByEnter()) {
        return MAKELRESULT(focused->Id(), DC_HASDEFID);
      }
      return 0;
    }
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wparam);
      MakeFonts();
      Layout();
      const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
      SetWindowPos(window_.Get(), nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_CLOSE:
      Close();
      return 0;
    case WM_QUERYENDSESSION:
      // The session is ending: store everything now; the close never refuses.
      RunCloseRequest();
      return TRUE;
    case WM_ENDSESSION:
      RunCloseRequest();
      EndProgram();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      Detach();
      // The system has destroyed the window: nothing is left to own or to route to.
      SetWindowLongPtrW(window_.Release(), GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return std::nullopt;
}

}  // namespace tess::win32
