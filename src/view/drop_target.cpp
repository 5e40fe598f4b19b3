#include "view/drop_target.h"

#include "view/model_boundary.h"
#include "win32/text.h"

namespace tess::view {

namespace {
FORMATETC FileListFormat() {
  return FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

bool OffersFileList(IDataObject* data) {
  if (data == nullptr) return false;
  FORMATETC format = FileListFormat();
  return data->QueryGetData(&format) == S_OK;
}

// The storage GetData hands over, released with the object.
class Medium {
 public:
  Medium() = default;
  ~Medium() {
    if (got_) ReleaseStgMedium(&medium_);
  }
  Medium(const Medium&) = delete;
  Medium& operator=(const Medium&) = delete;
  bool Get(IDataObject* data) {
    FORMATETC format = FileListFormat();
    got_ = data->GetData(&format, &medium_) == S_OK;
    return got_ && medium_.tymed == TYMED_HGLOBAL && medium_.hGlobal != nullptr;
  }
  HDROP Drop() const { return static_cast<HDROP>(medium_.hGlobal); }

 private:
  STGMEDIUM medium_ = {};
  bool got_ = false;
};
}  // namespace

std::vector<std::string> PathsOf(HDROP drop) {
  std::vector<std::string> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  paths.reserve(count);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring path(static_cast<size_t>(length) + 1, L'\0');
    const UINT got = DragQueryFileW(drop, i, path.data(), length + 1);
    path.resize(got);
    paths.push_back(win32::Narrow(path));
  }
  return paths;
}

OfferedEffects OfferedFrom(DWORD effects) {
  return OfferedEffects{.copy = (effects & DROPEFFECT_COPY) != 0,
                        .move = (effects & DROPEFFECT_MOVE) != 0,
                        .link = (effects & DROPEFFECT_LINK) != 0};
}

DWORD EffectBits(DropEffect effect) {
  switch (effect) {
    case DropEffect::kCopy:
      return DROPEFFECT_COPY;
    case DropEffect::kLink:
      return DROPEFFECT_LINK;
    case DropEffect::kNone:
      break;
  }
  return DROPEFFECT_NONE;
}

HRESULT FileDropTarget::QueryInterface(REFIID iid, void** object) noexcept {
  if (object == nullptr) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG FileDropTarget::AddRef() noexcept { return ++references_; }

ULONG FileDropTarget::Release() noexcept { return references_ > 0 ? --references_ : 0; }

DWORD FileDropTarget::Decide(DWORD allowed) const {
  if (!events_.decide) return DROPEFFECT_NONE;
  return Fenced([&] { return EffectBits(events_.decide(offers_file_list_, OfferedFrom(allowed))); },
                static_cast<DWORD>(DROPEFFECT_NONE));
}

HRESULT FileDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) noexcept {
  if (effect == nullptr) return E_INVALIDARG;
  offers_file_list_ = OffersFileList(data);
  *effect = Decide(*effect);
  return S_OK;
}

HRESULT FileDropTarget::DragOver(DWORD, POINTL, DWORD* effect) noexcept {
  if (effect == nullptr) return E_INVALIDARG;
  *effect = Decide(*effect);
  return S_OK;
}

HRESULT FileDropTarget::DragLeave() noexcept {
  offers_file_list_ = false;
  return S_OK;
}

HRESULT FileDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) noexcept {
  if (effect == nullptr) return E_INVALIDARG;
  offers_file_list_ = OffersFileList(data);
  *effect = Decide(*effect);
  if (*effect == DROPEFFECT_NONE) return S_OK;
  Fenced(
      [&] {
        Medium medium;
        if (!medium.Get(data)) {
          *effect = DROPEFFECT_NONE;
          return 0;
        }
        const std::vector<std::string> paths = PathsOf(medium.Drop());
        if (events_.dropped) events_.dropped(paths);
        return 0;
      },
      0);
  offers_file_list_ = false;
  return S_OK;
}

DropTargetRegistration::DropTargetRegistration(HWND window, IDropTarget& target)
    : window_(window), target_(target), registered_(RegisterDragDrop(window, &target) == S_OK) {}

DropTargetRegistration::~DropTargetRegistration() {
  if (!registered_) return;
  RevokeDragDrop(window_);
  CoDisconnectObject(&target_, 0);
}

}  // namespace tess::view
