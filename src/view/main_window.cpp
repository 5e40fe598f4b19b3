#include "view/main_window.h"

#include <commctrl.h>

#include "resource_ids.h"
#include "view/control_ids.h"
#include "view/dpi.h"
#include "view/view_handles.h"
#include "view/window_class.h"
#include "view/window_placement.h"
#include "win32/single_copy.h"
#include "win32/text.h"
#include "win32/win_notify_icon.h"

namespace tess::view {

namespace {
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = WS_EX_APPWINDOW;
// The design's client area in twips: two 7800-twip columns with 120-twip margins and gap.
constexpr int kClientWidthTwips = 15960;
constexpr int kClientHeightTwips = 5865;
}  // namespace

MainWindow::MainWindow(HINSTANCE instance) : instance_(instance) {
  large_icon_ = LoadAppIcon(instance, SM_CXICON, SM_CYICON);
  small_icon_ = LoadAppIcon(instance, SM_CXSMICON, SM_CYSMICON);
  small_warning_icon_ = LoadAppIcon(instance, SM_CXSMICON, SM_CYSMICON, IDI_APP_WARNING);
  RegisterMainWindowClass(instance, large_icon_, small_icon_, Proc);
  CreateWindowExW(kWindowExStyle, kMainWindowClass, L"", kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
  if (!window_) win32::ThrowLastError(GetLastError());
  dpi_ = DpiForWindow(window_.Get());
  SizeAndPlace();
  taskbar_created_ = RegisterWindowMessageW(L"TaskbarCreated");
  if (taskbar_created_ != 0) LetTheShellThrough(window_.Get(), taskbar_created_);
  const win32::RunningCopyMessages messages;
  show_request_ = messages.show_request;
  outcome_stored_ = messages.outcome_stored;
}

MainWindow::~MainWindow() {
  Detach();
  window_.Reset();
}

MainWindow::Attachment MainWindow::Attach(MainForm& form) {
  form_ = &form;
  CreateControls(form);
  MakeFonts();
  Layout();
  for (const auto& control : controls_) control->Attach();
  form_->SetWindowListener([this] { ShowWindowModel(); });
  form_->timer.SetViewListener([this] { ApplyTimer(); });
  ShowWindowModel();
  ApplyTimer();
  return Attachment(*this);
}

void MainWindow::Detach() {
  if (form_ == nullptr) return;
  form_->SetWindowListener(nullptr);
  form_->timer.SetViewListener(nullptr);
  for (const auto& control : controls_) control->Detach();
  if (window_) KillTimer(window_.Get(), kTimerId);
  form_ = nullptr;
}

void MainWindow::Load() {
  if (form_ == nullptr) return;
  boundary_.Run([&] { form_->OnLoad(); });
  for (const auto& control : controls_) control->ShowPending();
}

void MainWindow::ShowFirstTime() {
  if (!window_ || form_ == nullptr) return;
  shown_ = true;
  ApplyWindowState();
  if (IsWindowVisible(window_.Get())) UpdateWindow(window_.Get());
}

void MainWindow::SizeAndPlace() {
  const SIZE size = WindowSizeForClient(TwipsToPixels(kClientWidthTwips, dpi_),
                                        TwipsToPixels(kClientHeightTwips, dpi_), kWindowStyle,
                                        kWindowExStyle, dpi_);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(window_.Get(), MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT place = PlaceInWorkArea(size, monitor.rcWork);
  SetWindowPos(window_.Get(), nullptr, place.left, place.top, place.right - place.left,
               place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::ShowWindowModel() {
  if (!window_ || form_ == nullptr) return;
  ShowWindowText(window_.Get(), win32::Widen(form_->Caption()));

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
  const int interval = form_->timer.Interval();
  if (interval > 0) {
    // Setting a timer that runs already starts its period again.
    SetTimer(window_.Get(), kTimerId, static_cast<UINT>(interval), nullptr);
  } else {
    KillTimer(window_.Get(), kTimerId);
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

// The window has moved to a monitor of another density (or the density changed): letters and
// places follow, and the window takes the rectangle the system suggests for it there.
void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  dpi_ = dpi;
  // The controls hold the old fonts until they are placed anew; those go only afterwards.
  const UniqueFont old_text = std::move(text_font_);
  const UniqueFont old_button = std::move(button_font_);
  MakeFonts();
  Layout();
  SetWindowPos(window_.Get(), nullptr, suggested.left, suggested.top,
               suggested.right - suggested.left, suggested.bottom - suggested.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::RunCloseRequest() {
  if (close_requested_ || form_ == nullptr) return;
  close_requested_ = true;
  boundary_.Run([&] { form_->OnQueryUnload(); });
}

void MainWindow::EndProgram() {
  if (ended_) return;
  ended_ = true;
  // A handler further down the stack (a backup run letting events through) must not go on
  // once the program has ended: the close request has already stored everything.
  const bool handler_running = boundary_.Depth() > 0;
  if (form_ != nullptr) boundary_.Run([&] { form_->OnUnload(); });
  if (handler_running) ExitProcess(0);
  Detach();
  window_.Reset();
}

void MainWindow::Close() {
  RunCloseRequest();
  EndProgram();
}

// The session may end, but another program can still cancel its end: store what the close
// would store, and stop nothing yet.
void MainWindow::OnQueryEndSession() {
  if (form_ != nullptr) boundary_.Run([&] { form_->OnQueryEndSession(); });
}

// Only a session that really ends closes the program; after a cancelled one the timer runs on
// and the icon stays in the tray.
void MainWindow::OnEndSession(bool ending) {
  if (ending) Close();
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

// A plain window forgets which control had the focus; give it back on return. True when it
// was given back.
bool MainWindow::OnActivate(bool active) {
  if (!active) {
    const HWND focus = GetFocus();
    if (focus != nullptr && IsChild(window_.Get(), focus)) last_focus_ = focus;
    return false;
  }
  if (last_focus_ == nullptr || !IsWindow(last_focus_) || IsIconic(window_.Get())) return false;
  SetFocus(last_focus_);
  return true;
}

// Enter presses the push button that has the focus, as in a dialog.
LRESULT MainWindow::DefaultButtonAnswer() {
  const ControlBinding* focused = Find(GetFocus());
  if (focused != nullptr && focused->PressedByEnter()) {
    return MAKELRESULT(focused->Id(), DC_HASDEFID);
  }
  return 0;
}

// Messages registered by name: from a later start of the program, from a run on the command
// line, and from the shell. Nothing when the message is none of them.
std::optional<LRESULT> MainWindow::OnRegisteredMessage(UINT message) {
  if (message == show_request_ && show_request_ != 0) {
    // Before the model is attached there is nothing to show yet, and a window that is closing
    // will not stay: either way the new start asks again, and in the second case becomes the
    // window copy itself once this one has ended.
    if (form_ == nullptr || close_requested_ || ended_) return 0;
    boundary_.Run([&] { form_->OnSecondStart(); });
    SetForegroundWindow(window_.Get());
    return win32::kShownAnswer;
  }
  if (message == outcome_stored_ && outcome_stored_ != 0) {
    if (form_ != nullptr && !ended_) boundary_.Run([&] { form_->OnLatestOutcomeStored(); });
    return 0;
  }
  if (message == taskbar_created_ && taskbar_created_ != 0) {
    if (form_ != nullptr) {
      boundary_.Run([&] { form_->tray_icon.Dispatch(TrayEvent::kShellStarted, 0); });
    }
    return 0;
  }
  return std::nullopt;
}

std::optional<LRESULT> MainWindow::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (const auto answer = OnRegisteredMessage(message)) return answer;
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
      if (wparam == kTimerId && form_ != nullptr) {
        boundary_.Run([&] { form_->OnTimerTick(); });
        return 0;
      }
      break;
    case win32::kTrayCallbackMessage:
      if (const auto event = win32::TrayEventFrom(lparam); event && form_ != nullptr) {
        boundary_.Run([&] { form_->tray_icon.Dispatch(*event, static_cast<int>(wparam)); });
      }
      return 0;
    case WM_SIZE:
      OnSize(wparam);
      return 0;
    case WM_ACTIVATE:
      if (OnActivate(LOWORD(wparam) != WA_INACTIVE)) return 0;
      break;
    case DM_GETDEFID:
      return DefaultButtonAnswer();
    case WM_POWERBROADCAST:
      // Back from sleep: a timed backup missed meanwhile is caught up.
      if ((wparam == PBT_APMRESUMEAUTOMATIC || wparam == PBT_APMRESUMESUSPEND) &&
          form_ != nullptr) {
        boundary_.Run([&] { form_->OnResume(); });
      }
      return TRUE;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_QUERYENDSESSION:
      OnQueryEndSession();
      return TRUE;  // the program never holds a session up
    case WM_ENDSESSION:
      OnEndSession(wparam != FALSE);
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

}  // namespace tess::view
