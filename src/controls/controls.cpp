#include "controls/controls.h"

#include "base/platform_error.h"

namespace tess {

void ControlModel::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  NotifyView();
}

void ControlModel::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  NotifyView();
}

void CaptionModel::SetCaption(const std::string& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  NotifyView();
}

void CheckBoxModel::SetValue(int value) {
  if (value_ == value) return;
  value_ = value;
  NotifyView();
  if (on_click) on_click();
}

void OptionButtonModel::SetValue(bool value) {
  if (value_ == value) return;
  value_ = value;
  if (value && partner_ != nullptr && partner_->value_) {
    partner_->value_ = false;
    partner_->NotifyView();
  }
  NotifyView();
  if (value && on_click) on_click();
}

void TextBoxModel::SetText(const std::string& text) {
  if (text_ == text) return;
  text_ = text;
  sel_start_ = 0;
  sel_length_ = 0;
  NotifyView();
  if (on_change) on_change();
}

void TextBoxModel::SetSelection(int start, int length) {
  sel_start_ = start;
  sel_length_ = length;
  NotifyView();
}

void ProgressBarModel::SetMax(int max) {
  if (max_ == max) return;
  max_ = max;
  NotifyView();
}

void ProgressBarModel::SetValue(int value) {
  if (value < 0 || value > max_) throw PlatformError(380, "Invalid property value");
  if (value_ == value) return;
  value_ = value;
  NotifyView();
}

void ProgressBarModel::SetText(const std::string& text) {
  if (text_ == text) return;
  text_ = text;
  NotifyView();
}

ProgressBarLoan::~ProgressBarLoan() {
  try {
    bar_.SetValue(0);  // a value the earlier maximum surely takes
    bar_.SetMax(max_);
    bar_.SetValue(value_);
    bar_.SetText(text_);
  } catch (...) {
    // A bar that cannot show what it showed keeps what the loan left on it.
  }
}

const std::string& ListViewModel::ItemText(int position) const {
  if (position < 1 || position > Count()) throw PlatformError(35600, "Index out of bounds");
  return items_[static_cast<size_t>(position - 1)];
}

void ListViewModel::SetItemText(int position, const std::string& text) {
  if (position < 1 || position > Count()) throw PlatformError(35600, "Index out of bounds");
  items_[static_cast<size_t>(position - 1)] = text;
  NotifyList(Change::kItemText, position);
}

void ListViewModel::Append(const std::string& text) {
  items_.push_back(text);
  NotifyList(Change::kAppended, Count());
}

void ListViewModel::Remove(int position) {
  if (position < 1 || position > Count()) throw PlatformError(35600, "Index out of bounds");
  items_.erase(items_.begin() + (position - 1));
  if (selected_ == position) {
    selected_ = 0;
  } else if (selected_ > position) {
    --selected_;
  }
  NotifyList(Change::kRemoved, position);
}

void ListViewModel::Clear() {
  items_.clear();
  selected_ = 0;
  NotifyList(Change::kReset, 0);
}

void ListViewModel::Select(int position) {
  if (position < 1 || position > Count()) throw PlatformError(35600, "Index out of bounds");
  if (selected_ == position) return;
  selected_ = position;
  NotifyList(Change::kSelection, position);
}

void ListViewModel::Deselect() {
  if (selected_ == 0) return;
  selected_ = 0;
  NotifyList(Change::kSelection, 0);
}

void ListViewModel::SetColumn(const std::string& header, int width_twips) {
  column_header_ = header;
  column_width_ = width_twips;
  NotifyList(Change::kColumn, 0);
}

void ListViewModel::SetMousePointer(Pointer pointer) {
  if (mouse_pointer_ == pointer) return;
  mouse_pointer_ = pointer;
  NotifyView();
}

void ListViewModel::SetMouseIcon(const std::string& path) {
  if (mouse_icon_ == path) return;
  mouse_icon_ = path;
  NotifyView();
}

void TimerModel::SetInterval(int milliseconds) {
  if (interval_ == milliseconds) return;
  interval_ = milliseconds;
  if (view_) view_();
}

void TimerModel::Restart() {
  if (interval_ > 0 && view_) view_();
}

}  // namespace tess
