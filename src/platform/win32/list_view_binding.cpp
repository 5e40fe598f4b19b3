#include "platform/win32/list_view_binding.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cwchar>

#include "platform/win32/dpi.h"
#include "platform/win32/text.h"

namespace tess::win32 {

namespace {
constexpr UINT_PTR kSubclassId = 0x7E56;
// Posted to the list itself when the model's entry count has run ahead of the control's.
constexpr UINT kShowCountMessage = WM_APP + 0x7E5;

int ShiftState() {
  int shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= 1;
  if (GetKeyState(VK_CONTROL) < 0) shift |= 2;
  if (GetKeyState(VK_MENU) < 0) shift |= 4;
  return shift;
}
}  // namespace

ListViewBinding::~ListViewBinding() { Detach(); }

void ListViewBinding::Attach(HWND list, ListViewModel& model, Events events, int dpi) {
  list_ = list;
  model_ = &model;
  events_ = std::move(events);
  dpi_ = dpi;
  SetWindowSubclass(list_, Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  model_->SetListListener(
      [this](ListViewModel::Change change, int position) { OnModelChange(change, position); });
  ++applying_;
  SyncColumn();
  UpdateCount();
  SyncSelection();
  --applying_;
}

void ListViewBinding::Detach() {
  if (model_ != nullptr) model_->SetListListener(nullptr);
  model_ = nullptr;
  if (list_ != nullptr && IsWindow(list_)) RemoveWindowSubclass(list_, Proc, kSubclassId);
  list_ = nullptr;
}

void ListViewBinding::SetDpi(int dpi) {
  dpi_ = dpi;
  if (list_ == nullptr || model_ == nullptr) return;
  ++applying_;
  SyncColumn();
  --applying_;
}

void ListViewBinding::OnModelChange(ListViewModel::Change change, int position) {
  if (list_ == nullptr || model_ == nullptr) return;
  if (change == ListViewModel::Change::kAppended) {
    // Each count change costs the control a scroll-bar update; a burst of appends (a
    // restored list, a loaded tree) is shown with one, once the burst has ended.
    ScheduleCount();
    return;
  }
  ++applying_;
  switch (change) {
    case ListViewModel::Change::kItemText:
      if (position >= 1 && position <= ListView_GetItemCount(list_)) {
        ListView_RedrawItems(list_, position - 1, position - 1);
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
  PostMessageW(list_, kShowCountMessage, 0, 0);
}

void ListViewBinding::Flush() {
  if (!count_pending_ || list_ == nullptr || model_ == nullptr) return;
  ++applying_;
  UpdateCount();
  SyncSelection();
  --applying_;
}

void ListViewBinding::UpdateCount() {
  // The list holds no texts of its own: it asks the model for each entry it paints.
  count_pending_ = false;
  if (ListView_GetItemCount(list_) != model_->Count()) {
    ListView_SetItemCountEx(list_, model_->Count(), LVSICF_NOSCROLL);
    InvalidateRect(list_, nullptr, TRUE);
  }
}

void ListViewBinding::FillItem(NMLVDISPINFOW& info) const {
  if ((info.item.mask & LVIF_TEXT) == 0 || info.item.pszText == nullptr ||
      info.item.cchTextMax <= 0) {
    return;
  }
  const int position = info.item.iItem + 1;
  if (info.item.iSubItem != 0 || position < 1 || position > model_->Count()) {
    info.item.pszText[0] = L'\0';
    return;
  }
  const std::wstring text = Widen(model_->ItemText(position));
  const size_t n = std::min(text.size(), static_cast<size_t>(info.item.cchTextMax - 1));
  std::wmemcpy(info.item.pszText, text.data(), n);
  info.item.pszText[n] = L'\0';
}

int ListViewBinding::ViewSelection() const {
  return static_cast<int>(ListView_GetNextItem(list_, -1, LVNI_SELECTED));
}

void ListViewBinding::SyncSelection() {
  // Counting and probing one entry stay cheap however long the list is; searching for the
  // selected entry is left to the rare case where the view and the model disagree.
  const int want = model_->Selected() - 1;
  if (want >= ListView_GetItemCount(list_)) UpdateCount();
  const int selected = static_cast<int>(ListView_GetSelectedCount(list_));
  const bool in_step =
      want < 0 ? selected == 0
               : selected == 1 && (ListView_GetItemState(list_, want, LVIS_SELECTED) != 0);
  if (in_step) return;
  if (selected > 0) {
    for (int item = ViewSelection(); item >= 0; item = ViewSelection()) {
      ListView_SetItemState(list_, item, 0, LVIS_SELECTED);
    }
  }
  if (want >= 0 && want < ListView_GetItemCount(list_)) {
    ListView_SetItemState(list_, want, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
}

void ListViewBinding::SyncColumn() {
  if (model_->ColumnHeader().empty() && model_->ColumnWidth() == 0) return;
  std::wstring header = Widen(model_->ColumnHeader());
  LVCOLUMNW column = {};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = header.data();
  column.cx = TwipsToPixels(model_->ColumnWidth(), dpi_);
  const HWND header_control = ListView_GetHeader(list_);
  if (header_control != nullptr && Header_GetItemCount(header_control) > 0) {
    SendMessageW(list_, LVM_SETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  } else {
    SendMessageW(list_, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  }
}

int ListViewBinding::ItemAt(LPARAM point) const {
  LVHITTESTINFO hit = {};
  hit.pt.x = GET_X_LPARAM(point);
  hit.pt.y = GET_Y_LPARAM(point);
  return static_cast<int>(SendMessageW(list_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

bool ListViewBinding::OnNotify(const NMHDR& header) {
  if (model_ == nullptr) return false;
  switch (header.code) {
    case LVN_GETDISPINFOW:
      FillItem(const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(header)));
      return true;
    case LVN_ITEMCHANGED: {
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
      if (applying_ > 0 || (change.uChanged & LVIF_STATE) == 0 || change.iItem < 0) return false;
      const bool was = (change.uOldState & LVIS_SELECTED) != 0;
      const bool now = (change.uNewState & LVIS_SELECTED) != 0;
      if (was == now) return false;
      if (now) {
        user_selected_since_press_ = true;
        boundary_.Run([&] {
          model_->Select(change.iItem + 1);
          if (events_.selected_by_user) events_.selected_by_user();
        });
      } else if (ListView_GetSelectedCount(list_) == 0) {
        // Moving the selection deselects the old entry first; only a list left without any
        // selected entry clears the model's.
        boundary_.Run([&] { model_->Deselect(); });
      }
      return true;
    }
    case NM_CLICK: {
      const auto& click = reinterpret_cast<const NMITEMACTIVATE&>(header);
      if (click.iItem >= 0 && !user_selected_since_press_ &&
          click.iItem + 1 == model_->Selected() && events_.clicked_selected_item) {
        boundary_.Run([&] { events_.clicked_selected_item(); });
      }
      return true;
    }
    case LVN_KEYDOWN: {
      const auto& key = reinterpret_cast<const NMLVKEYDOWN&>(header);
      if (events_.key_down) {
        const int shift = ShiftState();
        boundary_.Run([&] { events_.key_down(key.wVKey, shift); });
      }
      return true;
    }
    default:
      return false;
  }
}

LRESULT CALLBACK ListViewBinding::Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                       UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<ListViewBinding*>(data);
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      self->user_selected_since_press_ = false;
      if (self->ItemAt(lparam) < 0) {
        // The list control would drop its selection here; the selected entry stays.
        SetFocus(window);
        return 0;
      }
      break;
    case WM_LBUTTONDBLCLK: {
      const LRESULT result =
          self->ItemAt(lparam) >= 0 ? DefSubclassProc(window, message, wparam, lparam) : 0;
      if (self->model_ != nullptr && self->events_.double_clicked) {
        self->boundary_.Run([&] { self->events_.double_clicked(); });
      }
      return result;
    }
    case kShowCountMessage:
      self->Flush();
      return 0;
    case WM_NCDESTROY:
      RemoveWindowSubclass(window, Proc, kSubclassId);
      self->list_ = nullptr;
      break;
    default:
      break;
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

}  // namespace tess::win32
