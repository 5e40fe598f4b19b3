#include "view/text_box_binding.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>

#include "view/view_handles.h"
#include "win32/text.h"

namespace tess::view {

namespace {
// A position in the model's UTF-8 text as a position in the control's UTF-16 text.
int WidePosition(const std::string& text, int position) {
  if (position <= 0) return 0;
  const size_t end = std::min(text.size(), static_cast<size_t>(position));
  return static_cast<int>(win32::Widen(text.substr(0, end)).size());
}
}  // namespace

TextBoxBinding::TextBoxBinding(const ControlSite& site, TextBoxModel& model, CreateArgs args)
    : ControlBinding(site, model,
                     {.id = args.id,
                      .frame = args.frame,
                      .window_class = WC_EDITW,
                      .style = kChildStyle | kTabGroupStyle | ES_AUTOHSCROLL,
                      .ex_style = WS_EX_CLIENTEDGE}),
      model_(model),
      got_focus_(std::move(args.got_focus)) {
  // The box shows whatever the model holds, however long, rather than a cut copy.
  SendMessageW(Window(), EM_SETLIMITTEXT, 0, 0);
}

void TextBoxBinding::ShowModel() {
  const std::wstring text = win32::Widen(model_.Text());
  if (WindowText(Window()) != text) {
    // Only the user's own edits go back to the model.
    ++applying_text_;
    SetWindowTextW(Window(), text.c_str());
    --applying_text_;
  }
  // While the user types, the model's reset selection must not move the caret.
  if (!user_editing_ &&
      (model_.SelStart() != shown_sel_start_ || model_.SelLength() != shown_sel_length_)) {
    ShowSelection();
  }
  shown_sel_start_ = model_.SelStart();
  shown_sel_length_ = model_.SelLength();
}

void TextBoxBinding::ShowSelection() {
  const int start = WidePosition(model_.Text(), model_.SelStart());
  const int end = WidePosition(model_.Text(), model_.SelStart() + model_.SelLength());
  SendMessageW(Window(), EM_SETSEL, static_cast<WPARAM>(start), end);
}

void TextBoxBinding::OnCommand(int code) {
  if (!Attached()) return;
  if (code == EN_CHANGE && applying_text_ == 0) {
    const std::string text = win32::Narrow(WindowText(Window()));
    const bool was_editing = user_editing_;
    user_editing_ = true;
    Boundary().Run([&] { model_.SetText(text); });
    user_editing_ = was_editing;
  } else if (code == EN_SETFOCUS) {
    if (got_focus_) Boundary().Run(got_focus_);
    if (Attached()) ShowSelection();
  }
}

}  // namespace tess::view
