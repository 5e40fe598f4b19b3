// The main window's child controls: created from the model's design, placed from its twips at
// the window's DPI, kept in step with the models, and their notifications turned into model
// calls.

// <windows.h> first: the other Windows headers build on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <algorithm>

#include "platform/win32/control_ids.h"
#include "platform/win32/dpi.h"
#include "platform/win32/main_window.h"
#include "platform/win32/text.h"
#include "platform/win32/view_handles.h"

namespace tess::win32 {

namespace {
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kTabGroup = WS_TABSTOP | WS_GROUP;
constexpr int kTextPoints100 = 900;     // Arial bold 9 pt
constexpr int kButtonPoints100 = 1125;  // Arial bold 11.25 pt on push buttons
constexpr int kToolTipWidthTwips = 6000;

using Handler = void (Form1::*)();
struct ButtonHandler {
  int id;
  Handler handler;
};
// Load Sample/Example Folders has no handler yet: the sample folders come later.
constexpr ButtonHandler kButtonHandlers[] = {
    {kIdPushButton1, &Form1::PushButton1_Click},   {kIdPushButton2, &Form1::PushButton2_Click},
    {kIdPushButton3, &Form1::PushButton3_Click},   {kIdPushButton4, &Form1::PushButton4_Click},
    {kIdPushButton5, &Form1::PushButton5_Click},   {kIdPushButton6, &Form1::PushButton6_Click},
    {kIdPushButton7, &Form1::PushButton7_Click},   {kIdPushButton8, &Form1::PushButton8_Click},
    {kIdPushButton11, &Form1::PushButton11_Click}, {kIdPushButton12, &Form1::PushButton12_Click},
};

Handler HandlerFor(int id) {
  for (const auto& entry : kButtonHandlers) {
    if (entry.id == id) return entry.handler;
  }
  return nullptr;
}

HFONT MakeArialBold(int points100, int dpi) {
  return CreateFontW(-MulDiv(points100, dpi, 7200), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_SWISS, L"Arial");
}

// A position in the model's UTF-8 text as a position in the control's UTF-16 text.
int WidePosition(const std::string& text, int position) {
  if (position <= 0) return 0;
  const size_t end = std::min(text.size(), static_cast<size_t>(position));
  return static_cast<int>(Widen(text.substr(0, end)).size());
}
}  // namespace

void MainWindow::AddChild(int id, Kind kind, ControlModel& model, const ControlModel* frame,
                          const wchar_t* window_class, DWORD style, DWORD ex_style) {
  const HWND control =
      CreateWindowExW(ex_style, window_class, L"", style, 0, 0, 0, 0, window_.Get(),
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
  if (control == nullptr) ThrowLastError(GetLastError());
  children_.push_back(Child{id, kind, &model, frame, control});
}

void MainWindow::CreateControls() {
  Form1& f = *form_;
  children_.reserve(23);
  AddChild(kIdFrame1, Kind::kFrame, f.Frame1, nullptr, WC_BUTTONW, kChild | BS_GROUPBOX, 0);
  AddChild(kIdProgressBar1, Kind::kProgress, f.ProgressBar1, &f.Frame1, PROGRESS_CLASSW,
           kChild | PBS_SMOOTH, 0);
  const DWORD list_style = kChild | kTabGroup | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                           LVS_NOSORTHEADER | LVS_OWNERDATA;
  AddChild(kIdListView1, Kind::kList, f.ListView1, nullptr, WC_LISTVIEWW, list_style,
           WS_EX_CLIENTEDGE);
  const DWORD button = kChild | kTabGroup | BS_PUSHBUTTON;
  AddChild(kIdPushButton7, Kind::kPushButton, f.PushButton7, nullptr, WC_BUTTONW, button, 0);
  AddChild(kIdPushButton8, Kind::kPushButton, f.PushButton8, nullptr, WC_BUTTONW, button, 0);
  AddChild(kIdPushButton9, Kind::kPushButton, f.PushButton9, nullptr, WC_BUTTONW, button, 0);
  AddChild(kIdFrame3, Kind::kFrame, f.Frame3, nullptr, WC_BUTTONW, kChild | BS_GROUPBOX, 0);
  // Plain (not automatic) option buttons: the model decides which one is on.
  AddChild(kIdOption3, Kind::kOptionButton, f.Option3, &f.Frame3, WC_BUTTONW,
           kChild | kTabGroup | BS_RADIOBUTTON, 0);
  AddChild(kIdOption4, Kind::kOptionButton, f.Option4, &f.Frame3, WC_BUTTONW,
           kChild | BS_RADIOBUTTON, 0);
  const DWORD check = kChild | kTabGroup | BS_AUTOCHECKBOX;
  AddChild(kIdCheck6, Kind::kCheckBox, f.Check6, &f.Frame3, WC_BUTTONW, check, 0);
  AddChild(kIdCheck4, Kind::kCheckBox, f.Check4, &f.Frame3, WC_BUTTONW, check, 0);
  AddChild(kIdCheck8, Kind::kCheckBox, f.Check8, &f.Frame3, WC_BUTTONW, check, 0);
  AddChild(kIdListView2, Kind::kList, f.ListView2, nullptr, WC_LISTVIEWW, list_style,
           WS_EX_CLIENTEDGE);
  AddChild(kIdFrame2, Kind::kFrame, f.Frame2, nullptr, WC_BUTTONW, kChild | BS_GROUPBOX, 0);
  AddChild(kIdText5, Kind::kTextBox, f.Text5, &f.Frame2, WC_EDITW,
           kChild | kTabGroup | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
  AddChild(kIdPushButton1, Kind::kPushButton, f.PushButton1, &f.Frame2, WC_BUTTONW, button, 0);
  AddChild(kIdPushButton2, Kind::kPushButton, f.PushButton2, &f.Frame2, WC_BUTTONW, button, 0);
  AddChild(kIdPushButton5, Kind::kPushButton, f.PushButton5, nullptr, WC_BUTTONW, button, 0);
  AddChild(kIdPushButton6, Kind::kPushButton, f.PushButton6, nullptr, WC_BUTTONW, button, 0);
  AddChild(kIdPushButton3, Kind::kPushButton, f.PushButton3, nullptr, WC_BUTTONW, button, 0);
  AddChild(kIdPushButton4, Kind::kPushButton, f.PushButton4, nullptr, WC_BUTTONW, button, 0);
  AddChild(kIdPushButton11, Kind::kPushButton, f.PushButton11, nullptr, WC_BUTTONW, button, 0);
  AddChild(kIdPushButton12, Kind::kPushButton, f.PushButton12, nullptr, WC_BUTTONW, button, 0);

  // Frames lie under everything else, so they never paint over the controls inside them.
  for (const Child& child : children_) {
    if (child.kind == Kind::kFrame) {
      SetWindowPos(child.window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
  for (const Child& child : children_) {
    if (child.kind == Kind::kList) {
      ListView_SetExtendedListViewStyle(child.window, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    } else if (child.kind == Kind::kProgress) {
      progress_.Attach(child.window);
    } else if (child.kind == Kind::kTextBox) {
      // The box shows whatever the setting holds, however long, rather than a cut copy.
      SendMessageW(child.window, EM_SETLIMITTEXT, 0, 0);
    }
  }
  CreateToolTip();
  MakeFonts();
  Layout();
}

void MainWindow::CreateToolTip() {
  const Child* list = FindChild(kIdListView1);
  tool_tip_text_ = Widen(form_->ListView1.ToolTip());
  if (list == nullptr || tool_tip_text_.empty()) return;
  tool_tip_ =
      CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                      WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, window_.Get(), nullptr, instance_, nullptr);
  if (tool_tip_ == nullptr) return;
  TOOLINFOW info = {};
  info.cbSize = sizeof(info);
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = window_.Get();
  info.uId = reinterpret_cast<UINT_PTR>(list->window);
  info.lpszText = tool_tip_text_.data();
  SendMessageW(tool_tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void MainWindow::MakeFonts() {
  text_font_.Reset(MakeArialBold(kTextPoints100, dpi_));
  button_font_.Reset(MakeArialBold(kButtonPoints100, dpi_));
}

void MainWindow::Layout() {
  for (const Child& child : children_) {
    const Place& place = child.model->GetPlace();
    int x = TwipsToPixels(place.left, dpi_);
    int y = TwipsToPixels(place.top, dpi_);
    if (child.frame != nullptr) {
      // Inside a frame the design counts from the frame's corner.
      x += TwipsToPixels(child.frame->GetPlace().left, dpi_);
      y += TwipsToPixels(child.frame->GetPlace().top, dpi_);
    }
    SetWindowPos(child.window, nullptr, x, y, TwipsToPixels(place.width, dpi_),
                 TwipsToPixels(place.height, dpi_), SWP_NOZORDER | SWP_NOACTIVATE);
    const HFONT font = child.kind == Kind::kPushButton ? button_font_.Get() : text_font_.Get();
    SendMessageW(child.window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  progress_.SetFont(text_font_.Get());
  list1_.SetDpi(dpi_);
  list2_.SetDpi(dpi_);
  if (tool_tip_ != nullptr) {
    SendMessageW(tool_tip_, WM_SETFONT, reinterpret_cast<WPARAM>(text_font_.Get()), FALSE);
    SendMessageW(tool_tip_, TTM_SETMAXTIPWIDTH, 0, TwipsToPixels(kToolTipWidthTwips, dpi_));
  }
  InvalidateRect(window_.Get(), nullptr, TRUE);
}

void MainWindow::BindModels() {
  for (size_t i = 0; i < children_.size(); ++i) {
    children_[i].model->SetViewListener([this, i] { ShowControl(children_[i]); });
    ShowControl(children_[i]);
  }
  Form1& f = *form_;
  ListViewBinding::Events folders;
  folders.double_clicked = [this] { form_->ListView1_DblClick(); };
  folders.key_down = [this](int key, int shift) {
    form_->ListView1_KeyDown(key == VK_DELETE ? Key::kDelete : Key::kOther, shift);
  };
  list1_.Attach(FindChild(kIdListView1)->window, f.ListView1, std::move(folders), dpi_);
  ListViewBinding::Events intervals;
  intervals.selected_by_user = [this] { form_->ListView2_ItemSelected(); };
  intervals.clicked_selected_item = [this] { form_->ListView2_Click(); };
  list2_.Attach(FindChild(kIdListView2)->window, f.ListView2, std::move(intervals), dpi_);
}

void MainWindow::ShowControl(const Child& child) {
  const HWND control = child.window;
  if (control == nullptr || !IsWindow(control)) return;
  switch (child.kind) {
    case Kind::kFrame:
    case Kind::kPushButton:
    case Kind::kCheckBox:
    case Kind::kOptionButton: {
      const std::wstring caption = Widen(static_cast<CaptionModel*>(child.model)->Caption());
      if (WindowText(control) != caption) SetWindowTextW(control, caption.c_str());
      break;
    }
    default:
      break;
  }
  switch (child.kind) {
    case Kind::kCheckBox: {
      const int value = static_cast<CheckBoxModel*>(child.model)->Value();
      const WPARAM state = value == 1   ? BST_CHECKED
                           : value == 2 ? BST_INDETERMINATE
                                        : BST_UNCHECKED;
      if (static_cast<WPARAM>(SendMessageW(control, BM_GETCHECK, 0, 0)) != state) {
        SendMessageW(control, BM_SETCHECK, state, 0);
      }
      break;
    }
    case Kind::kOptionButton: {
      const WPARAM state =
          static_cast<OptionButtonModel*>(child.model)->Value() ? BST_CHECKED : BST_UNCHECKED;
      if (static_cast<WPARAM>(SendMessageW(control, BM_GETCHECK, 0, 0)) != state) {
        SendMessageW(control, BM_SETCHECK, state, 0);
      }
      break;
    }
    case Kind::kTextBox: {
      const auto& box = *static_cast<TextBoxModel*>(child.model);
      const std::wstring text = Widen(box.Text());
      if (WindowText(control) != text) {
        // Only the user's own edits go back to the model.
        ++applying_text_;
        SetWindowTextW(control, text.c_str());
        --applying_text_;
      }
      // While the user types, the model's reset selection must not move the caret.
      if (!user_editing_text_ &&
          (box.SelStart() != last_sel_start_ || box.SelLength() != last_sel_length_)) {
        ShowTextSelection();
      }
      last_sel_start_ = box.SelStart();
      last_sel_length_ = box.SelLength();
      break;
    }
    case Kind::kProgress:
      progress_.Show(*static_cast<ProgressBarModel*>(child.model));
      break;
    default:
      break;
  }
  const bool enabled = child.model->Enabled();
  if ((IsWindowEnabled(control) != FALSE) != enabled) EnableWindow(control, enabled);
  const bool visible = child.model->Visible();
  if (((GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0) != visible) {
    ShowWindow(control, visible ? SW_SHOWNA : SW_HIDE);
  }
}

void MainWindow::ShowTextSelection() {
  const Child* child = FindChild(kIdText5);
  if (child == nullptr || form_ == nullptr) return;
  const TextBoxModel& box = form_->Text5;
  const int start = WidePosition(box.Text(), box.SelStart());
  const int end = WidePosition(box.Text(), box.SelStart() + box.SelLength());
  SendMessageW(child->window, EM_SETSEL, static_cast<WPARAM>(start), end);
}

const MainWindow::Child* MainWindow::FindChild(int id) const {
  for (const Child& child : children_) {
    if (child.id == id) return &child;
  }
  return nullptr;
}

const MainWindow::Child* MainWindow::FindChild(HWND window) const {
  if (window == nullptr) return nullptr;
  for (const Child& child : children_) {
    if (child.window == window) return &child;
  }
  return nullptr;
}

HWND MainWindow::Control(int id) const {
  const Child* child = FindChild(id);
  return child != nullptr ? child->window : nullptr;
}

void MainWindow::OnCommand(int id, int code, HWND control) {
  const Child* child = FindChild(id);
  if (form_ == nullptr || child == nullptr || child->window != control) return;
  switch (child->kind) {
    case Kind::kPushButton:
      if (code == BN_CLICKED) {
        if (const Handler handler = HandlerFor(id)) boundary_.Run([&] { (form_->*handler)(); });
      }
      return;
    case Kind::kCheckBox:
      if (code == BN_CLICKED) {
        const bool checked = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
        auto* model = static_cast<CheckBoxModel*>(child->model);
        boundary_.Run([&] { model->SetValue(checked ? 1 : 0); });
        if (form_ != nullptr) ShowControl(*child);
      }
      return;
    case Kind::kOptionButton:
      if (code == BN_CLICKED) {
        auto* model = static_cast<OptionButtonModel*>(child->model);
        boundary_.Run([&] { model->SetValue(true); });
        if (form_ != nullptr) ShowControl(*child);
      }
      return;
    case Kind::kTextBox:
      if (code == EN_CHANGE && applying_text_ == 0) {
        const std::string text = Narrow(WindowText(control));
        const bool was_editing = user_editing_text_;
        user_editing_text_ = true;
        boundary_.Run([&] { form_->Text5.SetText(text); });
        user_editing_text_ = was_editing;
      } else if (code == EN_SETFOCUS) {
        boundary_.Run([&] { form_->Text5_GotFocus(); });
        ShowTextSelection();
      }
      return;
    default:
      return;
  }
}

LRESULT MainWindow::OnNotify(const NMHDR& header) {
  if (header.idFrom == kIdListView1) list1_.OnNotify(header);
  if (header.idFrom == kIdListView2) list2_.OnNotify(header);
  return 0;
}

HBRUSH MainWindow::OnControlColor(HDC dc, HWND control) {
  const Child* child = FindChild(control);
  if (child == nullptr || !back_brush_.Valid()) return nullptr;
  switch (child->kind) {
    case Kind::kFrame:
    case Kind::kCheckBox:
    case Kind::kOptionButton:
    case Kind::kPushButton:
      SetBkColor(dc, back_colorref_);
      return back_brush_.Get();
    default:
      return nullptr;
  }
}

}  // namespace tess::win32
