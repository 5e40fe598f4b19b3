#include "view/list_view_binding.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cwchar>

#include "view/dpi.h"
#include "view/window_appearance.h"
#include "win32/text.h"

namespace tess::view {

namespace {
constexpr int kToolTipWidthTwips = 6000;
// Posted to the list itself when the model's entry count has run ahead of the control's.
constexpr UINT kShowCountMessage = WM_APP + 0x7E5;

// The key in the program's own terms.
Key KeyFrom(WPARAM virtual_key) {
  switch (virtual_key) {
    case VK_DELETE:
      return Key::kDelete;
    case VK_UP:
      return Key::kUp;
    case VK_DOWN:
      return Key::kDown;
    default:
      return Key::kOther;
  }
}

int ShiftState() {
  int shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= kShiftMask;
  if (GetKeyState(VK_CONTROL) < 0) shift |= kCtrlMask;
  if (GetKeyState(VK_MENU) < 0) shift |= kAltMask;
  return shift;
}
}  // namespace

ListViewBinding::ListViewBinding(const ControlSite& site, ListViewModel& model, CreateArgs args)
    : ControlBinding(site, model,
                     {.id = args.id,
                      .frame = args.frame,
                      .window_class = WC_LISTVIEWW,
                      .style = kChildStyle | kTabGroupStyle | LVS_REPORT | LVS_SINGLESEL |
                               LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | LVS_OWNERDATA,
                      .ex_style = WS_EX_CLIENTEDGE}),
      model_(model),
      events_(std::move(args.events)) {
  ListView_SetExtendedListViewStyle(Window(), LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  CreateToolTip(site.parent, site.instance);
  if (events_.dropped) {
    drop_target_ = std::make_unique<FileDropTarget>(FileDropTarget::Events{
        .decide =
            [this](bool offers_file_list, const OfferedEffects& allowed) {
              DropEffect effect = DropEffect::kNone;
              if (Attached() && events_.drag_over) {
                Boundary().Run([&] { effect = events_.drag_over(offers_file_list, allowed); });
              }
              return effect;
            },
        .dropped =
            [this](const std::vector<std::string>& paths) {
              if (Attached()) Boundary().Run([&] { events_.dropped(paths); });
            }});
  }
}

ListViewBinding::~ListViewBinding() { Detach(); }

void ListViewBinding::CreateToolTip(HWND owner, HINSTANCE instance) {
  tool_tip_text_ = win32::Widen(model_.ToolTip());
  if (tool_tip_text_.empty()) return;
  tool_tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                              WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance, nullptr);
  if (tool_tip_ == nullptr) return;
  TOOLINFOW info = {};
  info.cbSize = sizeof(info);
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = owner;
  info.uId = reinterpret_cast<UINT_PTR>(Window());
  info.lpszText = tool_tip_text_.data();
  SendMessageW(tool_tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void ListViewBinding::OnAttach() {
  model_.SetListListener(
      [this](ListViewModel::Change change, int position) { OnModelChange(change, position); });
  if (drop_target_) drop_registration_.emplace(Window(), *drop_target_);
  ++applying_;
  SyncColumn();
  UpdateCount();
  SyncSelection();
  --applying_;
}

void ListViewBinding::OnDetach() {
  // OLE lets go of the target before the list can go.
  drop_registration_.reset();
  if (dragging_ && GetCapture() == Window()) ReleaseCapture();
  dragging_ = false;
  model_.SetListListener(nullptr);
}

void ListViewBinding::ShowModel() {
  if (model_.MouseIcon() != drag_pointer_file_) {
    drag_pointer_file_ = model_.MouseIcon();
    drag_pointer_ = PointerFromIconFile(drag_pointer_file_);
  }
  if (model_.MousePointer() != shown_pointer_) {
    shown_pointer_ = model_.MousePointer();
    ShowPointer();
  }
}

void ListViewBinding::ShowPointer() {
  POINT cursor;
  const bool over = GetCursorPos(&cursor) && WindowFromPoint(cursor) == Window();
  if (over || GetCapture() == Window()) {
    SendMessageW(Window(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Window()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  }
}

std::optional<LRESULT> ListViewBinding::OnSetCursor(WPARAM wparam, LPARAM lparam) {
  if (LOWORD(lparam) != HTCLIENT || model_.MousePointer() != Pointer::kCustom ||
      !drag_pointer_.Valid()) {
    return std::nullopt;
  }
  // The window has the first say: its hourglass is its busy flag and wins over the list's own
  // pointer.
  if (SendMessageW(GetParent(Window()), WM_SETCURSOR, wparam, lparam) != FALSE) return TRUE;
  SetCursor(drag_pointer_.Get());
  return TRUE;
}

void ListViewBinding::OnPlaced(int dpi, const ViewFonts& fonts) {
  dpi_ = dpi;
  if (Attached()) {
    ++applying_;
    SyncColumn();
    --applying_;
  }
  if (tool_tip_ != nullptr) {
    SendMessageW(tool_tip_, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.text), FALSE);
    SendMessageW(tool_tip_, TTM_SETMAXTIPWIDTH, 0, TwipsToPixels(kToolTipWidthTwips, dpi));
  }
}

void ListViewBinding::OnModelChange(ListViewModel::Change change, int position) {
  if (!Attached()) return;
  if (change == ListViewModel::Change::kAppended) {
    // Each count change costs the control a scroll-bar update; a burst of appends (a
    // restored list, a loaded tree) is shown with one, once the burst has ended.
    ScheduleCount();
    return;
  }
  ++applying_;
  switch (change) {
    case ListViewModel::Change::kItemText:
      if (position >= 1 && position <= ListView_GetItemCount(Window())) {
        ListView_RedrawItems(Window(), position - 1, position - 1);
      }
      break;
    case ListViewModel::Change::kColumn:
      SyncColumn();
      break;
    case ListViewModel::Change::kRemoved:
    case ListViewModel::Change::kReset:
      UpdateCount();
      break;
    default:
      break;
  }
  SyncSelection();
  --applying_;
}

void ListViewBinding::ScheduleCount() {
  if (count_pending_) return;
  count_pending_ = true;
  PostMessageW(Window(), kShowCountMessage, 0, 0);
}

void ListViewBinding::ShowPending() {
  if (!count_pending_ || !Attached()) return;
  ++applying_;
  UpdateCount();
  SyncSelection();
  --applying_;
}

void ListViewBinding::UpdateCount() {
  // The list holds no texts of its own: it asks the model for each entry it paints.
  count_pending_ = false;
  if (ListView_GetItemCount(Window()) != model_.Count()) {
    ListView_SetItemCountEx(Window(), model_.Count(), LVSICF_NOSCROLL);
    InvalidateRect(Window(), nullptr, TRUE);
  }
}

void ListViewBinding::FillItem(NMLVDISPINFOW& info) const {
  if ((info.item.mask & LVIF_TEXT) == 0 || info.item.pszText == nullptr ||
      info.item.cchTextMax <= 0) {
    return;
  }
  const int position = info.item.iItem + 1;
  if (info.item.iSubItem != 0 || position < 1 || position > model_.Count()) {
    info.item.pszText[0] = L'\0';
    return;
  }
  const std::wstring text = win32::Widen(model_.ItemText(position));
  const size_t n = std::min(text.size(), static_cast<size_t>(info.item.cchTextMax - 1));
  std::wmemcpy(info.item.pszText, text.data(), n);
  info.item.pszText[n] = L'\0';
}

int ListViewBinding::ViewSelection() const {
  return static_cast<int>(ListView_GetNextItem(Window(), -1, LVNI_SELECTED));
}

void ListViewBinding::SyncSelection() {
  // Counting and probing one entry stay cheap however long the list is; searching for the
  // selected entry is left to the rare case where the view and the model disagree.
  const int want = model_.Selected() - 1;
  if (want >= ListView_GetItemCount(Window())) UpdateCount();
  const int selected = static_cast<int>(ListView_GetSelectedCount(Window()));
  const bool in_step =
      want < 0 ? selected == 0
               : selected == 1 && (ListView_GetItemState(Window(), want, LVIS_SELECTED) != 0);
  if (in_step) return;
  if (selected > 0) {
    for (int item = ViewSelection(); item >= 0; item = ViewSelection()) {
      ListView_SetItemState(Window(), item, 0, LVIS_SELECTED);
    }
  }
  if (want >= 0 && want < ListView_GetItemCount(Window())) {
    ListView_SetItemState(Window(), want, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
  }
}

void ListViewBinding::SyncColumn() {
  if (model_.ColumnHeader().empty() && model_.ColumnWidth() == 0) return;
  std::wstring header = win32::Widen(model_.ColumnHeader());
  LVCOLUMNW column = {};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = header.data();
  column.cx = TwipsToPixels(model_.ColumnWidth(), dpi_);
  const HWND header_control = ListView_GetHeader(Window());
  if (header_control != nullptr && Header_GetItemCount(header_control) > 0) {
    SendMessageW(Window(), LVM_SETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  } else {
    SendMessageW(Window(), LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  }
}

int ListViewBinding::ItemAt(LPARAM point) const {
  LVHITTESTINFO hit = {};
  hit.pt.x = GET_X_LPARAM(point);
  hit.pt.y = GET_Y_LPARAM(point);
  return static_cast<int>(SendMessageW(Window(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

void ListViewBinding::OnNotify(const NMHDR& header) {
  if (!Attached()) return;
  switch (header.code) {
    case LVN_GETDISPINFOW:
      FillItem(const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(header)));
      return;
    case LVN_ITEMCHANGED: {
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
      if (applying_ > 0 || (change.uChanged & LVIF_STATE) == 0 || change.iItem < 0) return;
      const bool was = (change.uOldState & LVIS_SELECTED) != 0;
      const bool now = (change.uNewState & LVIS_SELECTED) != 0;
      if (was == now) return;
      if (now) {
        user_selected_since_press_ = true;
        Boundary().Run([&] {
          model_.Select(change.iItem + 1);
          if (events_.selected_by_user) events_.selected_by_user();
        });
      } else if (ListView_GetSelectedCount(Window()) == 0) {
        // Moving the selection deselects the old entry first; only a list left without any
        // selected entry clears the model's.
        Boundary().Run([&] { model_.Deselect(); });
      }
      return;
    }
    case NM_CLICK: {
      const auto& click = reinterpret_cast<const NMITEMACTIVATE&>(header);
      if (click.iItem >= 0 && !user_selected_since_press_ && click.iItem + 1 == model_.Selected() &&
          events_.clicked_selected_item) {
        Boundary().Run([&] { events_.clicked_selected_item(); });
      }
      return;
    }
    case LVN_KEYDOWN: {
      const auto& key = reinterpret_cast<const NMLVKEYDOWN&>(header);
      if (events_.key_down) {
        const int shift = ShiftState();
        Boundary().Run([&] { events_.key_down(KeyFrom(key.wVKey), shift); });
      }
      return;
    }
    default:
      return;
  }
}

ListRows ListViewBinding::RowsAt(int y) const {
  ListRows rows;
  rows.pointer_y = y;
  RECT client = {};
  GetClientRect(Window(), &client);
  rows.bottom = client.bottom;
  const HWND header = ListView_GetHeader(Window());
  RECT header_rect = {};
  if (header != nullptr && IsWindowVisible(header) && GetWindowRect(header, &header_rect)) {
    rows.top = header_rect.bottom - header_rect.top;
  }
  const int first = static_cast<int>(ListView_GetTopIndex(Window()));
  rows.first_shown = first + 1;
  RECT item = {};
  if (first < ListView_GetItemCount(Window()) &&
      ListView_GetItemRect(Window(), first, &item, LVIR_BOUNDS)) {
    rows.top = item.top;
    rows.entry_height = item.bottom - item.top;
    // An entry cut off at the bottom counts as beyond the edge: a drag there carries the entry
    // to the last one shown whole and scrolls by one, so it passes every entry in turn.
    const int whole = static_cast<int>(ListView_GetCountPerPage(Window()));
    if (whole > 0) rows.bottom = std::min<int>(rows.bottom, rows.top + whole * rows.entry_height);
  }
  return rows;
}

void ListViewBinding::OnPress(LPARAM point) {
  SetFocus(Window());
  const int entry = EntryUnderPointer(RowsAt(GET_Y_LPARAM(point)), ListView_GetItemCount(Window()));
  if (!Attached()) return;
  Boundary().Run([&] { events_.pressed(entry); });
  if (entry > 0 && Attached()) {
    // The list follows the drag, even beyond its edges, until the button goes up. Taking the
    // press from the control also means the control never starts a drag of its own.
    dragging_ = true;
    SetCapture(Window());
  }
  ShowPointer();
}

void ListViewBinding::OnDrag(LPARAM point) {
  const ListRows rows = RowsAt(GET_Y_LPARAM(point));
  int reveal = 0;
  if (events_.dragged) Boundary().Run([&] { reveal = events_.dragged(rows); });
  if (reveal > 0 && reveal <= ListView_GetItemCount(Window())) {
    ListView_EnsureVisible(Window(), reveal - 1, FALSE);
  }
  ShowPointer();
}

void ListViewBinding::EndDrag() {
  if (!dragging_) return;
  dragging_ = false;
  if (Attached() && events_.released) Boundary().Run(events_.released);
  ShowPointer();
}

std::optional<LRESULT> ListViewBinding::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      user_selected_since_press_ = false;
      if (Reorders()) {
        OnPress(lparam);
        return 0;
      }
      if (ItemAt(lparam) < 0) {
        // The list control would drop its selection here; the selected entry stays.
        SetFocus(Window());
        return 0;
      }
      return std::nullopt;
    case WM_LBUTTONDBLCLK: {
      const LRESULT result =
          ItemAt(lparam) >= 0 ? DefSubclassProc(Window(), message, wparam, lparam) : 0;
      if (Attached() && events_.double_clicked) Boundary().Run(events_.double_clicked);
      return result;
    }
    case WM_MOUSEMOVE:
      if (!dragging_) return std::nullopt;
      OnDrag(lparam);
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      if (!dragging_) return std::nullopt;
      ReleaseCapture();
      EndDrag();
      return 0;
    case WM_CAPTURECHANGED:
      // Another window took the mouse (a message box, a switch to another program).
      EndDrag();
      return std::nullopt;
    case WM_SETCURSOR:
      return OnSetCursor(wparam, lparam);
    case WM_SYSKEYDOWN:
      // With Alt held the keys come as system keys, which the control does not report. The
      // default handling still sees them, so letting go of Alt afterwards opens no menu.
      if (events_.key_down && (wparam == VK_UP || wparam == VK_DOWN)) {
        const int shift = ShiftState();
        Boundary().Run([&] { events_.key_down(KeyFrom(wparam), shift); });
      }
      return std::nullopt;
    case kShowCountMessage:
      ShowPending();
      return 0;
    default:
      return std::nullopt;
  }
}

}  // namespace tess::view
