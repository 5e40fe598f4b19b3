// Models of the main window's controls: the state the program reads and writes, and the
// behaviour of each kind (a changed check box raises its click, an option button clears its
// partner, a changed text raises its change). The Win32 view observes them through listeners.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tess {

// A window's or a control's mouse pointer: the default arrow, the hourglass (the window's busy
// flag) or the custom pointer image the window or control was given.
enum class Pointer { kDefault = 0, kHourglass = 11, kCustom = 99 };

// Place in twips relative to the parent (the window's client area or the enclosing frame).
struct Place {
  int left = 0, top = 0, width = 0, height = 0;
};

class ControlModel {
 public:
  using Listener = std::function<void()>;
  explicit ControlModel(Place place) : place_(place) {}
  const Place& GetPlace() const { return place_; }
  bool Enabled() const { return enabled_; }
  bool Visible() const { return visible_; }
  void SetEnabled(bool enabled);
  void SetVisible(bool visible);
  // The view's hook: called after every change of what the control shows.
  void SetViewListener(Listener listener) { view_ = std::move(listener); }

 protected:
  void NotifyView() const {
    if (view_) view_();
  }

 private:
  Place place_;
  bool enabled_ = true;
  bool visible_ = true;
  Listener view_;
};

class CaptionModel : public ControlModel {
 public:
  CaptionModel(Place place, std::string caption)
      : ControlModel(place), caption_(std::move(caption)) {}
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);

 private:
  std::string caption_;
};

using FrameModel = CaptionModel;
using PushButtonModel = CaptionModel;

class CheckBoxModel : public CaptionModel {
 public:
  using CaptionModel::CaptionModel;
  int Value() const { return value_; }
  bool Checked() const { return value_ == 1; }
  // A new value raises the click handler at once, whoever set it.
  void SetValue(int value);
  std::function<void()> on_click;

 private:
  int value_ = 0;
};

class OptionButtonModel : public CaptionModel {
 public:
  using CaptionModel::CaptionModel;
  bool Value() const { return value_; }
  // Selecting deselects the partner and raises the click handler when the value changed.
  void SetValue(bool value);
  void SetPartner(OptionButtonModel* partner) { partner_ = partner; }
  std::function<void()> on_click;

 private:
  bool value_ = false;
  OptionButtonModel* partner_ = nullptr;
};

class TextBoxModel : public ControlModel {
 public:
  using ControlModel::ControlModel;
  const std::string& Text() const { return text_; }
  // A new text raises the change handler.
  void SetText(const std::string& text);
  int SelStart() const { return sel_start_; }
  int SelLength() const { return sel_length_; }
  void SetSelection(int start, int length);
  std::function<void()> on_change;

 private:
  std::string text_;
  int sel_start_ = 0;
  int sel_length_ = 0;
};

class ProgressBarModel : public ControlModel {
 public:
  using ControlModel::ControlModel;
  int Max() const { return max_; }
  int Value() const { return value_; }
  const std::string& Text() const { return text_; }
  void SetMax(int max);
  void SetValue(int value);
  void SetText(const std::string& text);

 private:
  int max_ = 100;
  int value_ = 0;
  std::string text_;
};

// The bar lent to something else for a while (a run showing how far it has come): what it
// showed is put back when the loan ends.
class ProgressBarLoan {
 public:
  explicit ProgressBarLoan(ProgressBarModel& bar)
      : bar_(bar), max_(bar.Max()), value_(bar.Value()), text_(bar.Text()) {}
  ~ProgressBarLoan();
  ProgressBarLoan(const ProgressBarLoan&) = delete;
  ProgressBarLoan& operator=(const ProgressBarLoan&) = delete;

 private:
  ProgressBarModel& bar_;
  int max_;
  int value_;
  std::string text_;
};

// A report-style list with one column. Positions are counted from 1, as the user sees them.
class ListViewModel : public ControlModel {
 public:
  enum class Change { kReset, kAppended, kRemoved, kItemText, kSelection, kColumn };
  using ListListener = std::function<void(Change, int position)>;

  using ControlModel::ControlModel;
  int Count() const { return static_cast<int>(items_.size()); }
  // Throws PlatformError (subscript) for a position outside 1..Count().
  const std::string& ItemText(int position) const;
  void SetItemText(int position, const std::string& text);
  void Append(const std::string& text);
  void Remove(int position);
  void Clear();
  // 0 when nothing is selected.
  int Selected() const { return selected_; }
  // Selects one entry; throws PlatformError for a position outside 1..Count().
  void Select(int position);
  void Deselect();
  const std::vector<std::string>& Items() const { return items_; }

  void SetColumn(const std::string& header, int width_twips);
  const std::string& ColumnHeader() const { return column_header_; }
  int ColumnWidth() const { return column_width_; }
  const std::string& ToolTip() const { return tool_tip_; }
  void SetToolTip(const std::string& tip) { tool_tip_ = tip; }

  // The list's own pointer over its entries, and the image file shown for kCustom ("" when
  // there is none, and kCustom then shows nothing of its own).
  Pointer MousePointer() const { return mouse_pointer_; }
  void SetMousePointer(Pointer pointer);
  const std::string& MouseIcon() const { return mouse_icon_; }
  void SetMouseIcon(const std::string& path);

  void SetListListener(ListListener listener) { list_view_ = std::move(listener); }

 private:
  void NotifyList(Change change, int position) const {
    if (list_view_) list_view_(change, position);
  }
  std::vector<std::string> items_;
  int selected_ = 0;
  std::string column_header_;
  int column_width_ = 0;
  std::string tool_tip_;
  Pointer mouse_pointer_ = Pointer::kDefault;
  std::string mouse_icon_;
  ListListener list_view_;
};

// An invisible window timer; an interval of 0 stops it.
class TimerModel {
 public:
  int Interval() const { return interval_; }
  void SetInterval(int milliseconds);
  // A running timer starts its period again now: its next tick comes a whole interval later.
  void Restart();
  void SetViewListener(std::function<void()> listener) { view_ = std::move(listener); }

 private:
  int interval_ = 0;
  std::function<void()> view_;
};

}  // namespace tess
