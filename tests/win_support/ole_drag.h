// An OLE drag made by the test program the way the file manager makes one: a data object that
// offers a shell file list (or only plain text), pressed on a window of the test's own, carried
// with the real mouse onto a point of the screen and released there. Another process's drop
// target sees the same calls it would see from the shell.
#pragma once

// clang-format off
#include <windows.h>
#include <ole2.h>
// clang-format on

#include <string>
#include <vector>

namespace tess::test {

// What is dragged: one format as a global memory block, handed out afresh to every GetData.
// The object lives on its owner's stack; its count only answers OLE.
class DraggedData final : public IDataObject {
 public:
  // A shell file list (CF_HDROP) of wide paths.
  static DraggedData FileList(const std::vector<std::wstring>& paths);
  // Plain text (CF_UNICODETEXT) and nothing else.
  static DraggedData PlainText(const std::wstring& text);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override;
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }

 private:
  DraggedData(CLIPFORMAT format, std::string bytes) : format_(format), bytes_(std::move(bytes)) {}
  CLIPFORMAT format_;
  std::string bytes_;
  ULONG references_ = 0;
};

struct DragOutcome {
  HRESULT result = E_FAIL;         // what DoDragDrop answered
  DWORD effect = DROPEFFECT_NONE;  // the effect of the drop, as the target reported it
  // The effect the target answered at the last move before the release (DROPEFFECT_NONE shows
  // the no-drop pointer); DROPEFFECT_NONE too when no target answered at all.
  DWORD last_feedback = DROPEFFECT_NONE;
  bool feedback_seen = false;
  std::string failure;  // why the gesture could not be made; empty when it was
};

// Drags the data onto `target` (screen coordinates), the source allowing the given
// DROPEFFECT_* bits, and releases the button there.
DragOutcome DragOnto(POINT target, DraggedData& data, DWORD allowed);

}  // namespace tess::test
