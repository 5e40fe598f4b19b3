#include "win_support/ole_drag.h"

// clang-format off
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>
#include <shellapi.h>
// clang-format on

#include <atomic>
#include <cstring>
#include <thread>

#include "win_support/mouse_input.h"

namespace tess::test {
namespace {

constexpr wchar_t kSourceClass[] = L"TessalineTestDragSource";

// A global memory block for a data object's answer; the receiver frees it.
HGLOBAL GlobalCopy(const void* bytes, size_t size) {
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (memory == nullptr) return nullptr;
  std::memcpy(GlobalLock(memory), bytes, size);
  GlobalUnlock(memory);
  return memory;
}

// A DROPFILES record with wide paths, each ended by a NUL, the list by one more.
std::string FileListBytes(const std::vector<std::wstring>& paths) {
  DROPFILES header = {};
  header.pFiles = sizeof(header);
  header.fWide = TRUE;
  std::wstring list;
  for (const auto& path : paths) list += path + L'\0';
  list += L'\0';
  std::string bytes(reinterpret_cast<const char*>(&header), sizeof(header));
  bytes.append(reinterpret_cast<const char*>(list.data()), list.size() * sizeof(wchar_t));
  return bytes;
}

// The drag source lives on the stack of the drag; its count only answers OLE.
class DropSource final : public IDropSource {
 public:
  explicit DropSource(const std::atomic<bool>& give_up) : give_up_(give_up) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropSource)) {
      *object = static_cast<IDropSource*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }

  // As the shell's sources do: the release of the left button drops, Escape cancels.
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
    if (escape || give_up_) return DRAGDROP_S_CANCEL;
    return (keys & MK_LBUTTON) == 0 ? DRAGDROP_S_DROP : S_OK;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override {
    last_feedback = effect;
    feedback_seen = true;
    return DRAGDROP_S_USEDEFAULTCURSORS;
  }

  DWORD last_feedback = DROPEFFECT_NONE;
  bool feedback_seen = false;

 private:
  const std::atomic<bool>& give_up_;
  ULONG references_ = 0;
};

class OleThread {
 public:
  OleThread() : ok_(SUCCEEDED(OleInitialize(nullptr))) {}
  ~OleThread() {
    if (ok_) OleUninitialize();
  }
  OleThread(const OleThread&) = delete;
  OleThread& operator=(const OleThread&) = delete;
  bool Ok() const { return ok_; }

 private:
  bool ok_;
};

// A small window of the test's own where the drag starts, away from the program's window.
class SourceWindow {
 public:
  SourceWindow() {
    WNDCLASSW window_class = {};
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = GetSysColorBrush(COLOR_HIGHLIGHT);
    window_class.lpszClassName = kSourceClass;
    RegisterClassW(&window_class);
    window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kSourceClass, L"drag source",
                              WS_POPUP | WS_VISIBLE, 10, 10, 60, 60, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  }
  ~SourceWindow() {
    if (window_ != nullptr) DestroyWindow(window_);
  }
  SourceWindow(const SourceWindow&) = delete;
  SourceWindow& operator=(const SourceWindow&) = delete;
  HWND Get() const { return window_; }

 private:
  HWND window_ = nullptr;
};

// Lets this thread's windows handle what reached them, for a while.
void PumpFor(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  MSG msg;
  while (GetTickCount() - start < milliseconds) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(10);
  }
}

}  // namespace

DraggedData DraggedData::FileList(const std::vector<std::wstring>& paths) {
  return DraggedData(CF_HDROP, FileListBytes(paths));
}

DraggedData DraggedData::PlainText(const std::wstring& text) {
  const std::wstring with_end = text + L'\0';
  return DraggedData(CF_UNICODETEXT, std::string(reinterpret_cast<const char*>(with_end.data()),
                                                 with_end.size() * sizeof(wchar_t)));
}

HRESULT DraggedData::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
    *object = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT DraggedData::GetData(FORMATETC* format, STGMEDIUM* medium) {
  if (format == nullptr || medium == nullptr) return E_INVALIDARG;
  const HRESULT offered = QueryGetData(format);
  if (offered != S_OK) return offered;
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = GlobalCopy(bytes_.data(), bytes_.size());
  medium->pUnkForRelease = nullptr;
  return medium->hGlobal != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT DraggedData::QueryGetData(FORMATETC* format) {
  if (format == nullptr) return E_INVALIDARG;
  if (format->cfFormat != format_) return DV_E_FORMATETC;
  if ((format->tymed & TYMED_HGLOBAL) == 0) return DV_E_TYMED;
  if (format->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  return S_OK;
}

HRESULT DraggedData::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
  if (out != nullptr) out->ptd = nullptr;
  return E_NOTIMPL;
}

HRESULT DraggedData::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) {
  if (direction != DATADIR_GET) return E_NOTIMPL;
  FORMATETC format = {format_, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  return SHCreateStdEnumFmtEtc(1, &format, formats);
}

DragOutcome DragOnto(POINT target, DraggedData& data, DWORD allowed) {
  DragOutcome outcome;
  const OleThread ole;
  if (!ole.Ok()) {
    outcome.failure = "OleInitialize failed";
    return outcome;
  }
  const SourceWindow source_window;
  if (source_window.Get() == nullptr) {
    outcome.failure = "no source window";
    return outcome;
  }
  const POINT start = OnScreen(source_window.Get(), POINT{30, 30});
  PumpFor(200);
  if (!MoveMouseTo(start)) {
    outcome.failure = "the pointer could not be moved";
    return outcome;
  }
  PumpFor(200);
  if (!PressLeftButton()) {
    outcome.failure = "the button could not be pressed";
    return outcome;
  }
  PumpFor(200);

  std::atomic<bool> give_up = false;
  std::atomic<bool> input_failed = false;
  DropSource source(give_up);
  // The hand that moves the mouse while this thread is inside the drag's own message loop.
  std::thread hand([&] {
    Sleep(300);
    bool ok = true;
    for (int step = 1; step <= 4 && ok; ++step) {
      ok = MoveMouseTo(POINT{start.x + (target.x - start.x) * step / 4,
                             start.y + (target.y - start.y) * step / 4});
      Sleep(150);
    }
    // A little move on the target, so it sees the pointer over it more than once.
    ok = ok && MoveMouseTo(POINT{target.x + 3, target.y + 1});
    Sleep(300);
    ok = ok && MoveMouseTo(target);
    Sleep(300);
    ok = ReleaseLeftButton() && ok;
    if (!ok) {
      input_failed = true;
      give_up = true;
    }
  });
  DWORD effect = DROPEFFECT_NONE;
  outcome.result = DoDragDrop(&data, &source, allowed, &effect);
  hand.join();
  // Whatever another process still holds of the two objects is cut before they go.
  CoDisconnectObject(&data, 0);
  CoDisconnectObject(&source, 0);
  outcome.effect = effect;
  outcome.last_feedback = source.last_feedback;
  outcome.feedback_seen = source.feedback_seen;
  if (input_failed) outcome.failure = "the mouse could not be driven";
  return outcome;
}

}  // namespace tess::test
