// Files dragged in from other programs: an OLE drop target that takes the shell's file list
// (CF_HDROP) and hands its paths on, and the registration that makes a window that target for
// as long as the registration lives. Under Wine, as on Windows, only a registered target
// receives a drop from another process.
#pragma once

// <windows.h> first: the other Windows headers build on it.
// clang-format off
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>
// clang-format on

#include <functional>
#include <string>
#include <vector>

#include "folders/drop_rules.h"

namespace tess::view {

class FileDropTarget final : public IDropTarget {
 public:
  struct Events {
    // Whether to take what is dragged, and as what; called as it enters and at every move.
    std::function<DropEffect(bool offers_file_list, const OfferedEffects& allowed)> decide;
    // The paths of a file list dropped and taken, in the list's order.
    std::function<void(const std::vector<std::string>& paths)> dropped;
  };
  explicit FileDropTarget(Events events) : events_(std::move(events)) {}
  FileDropTarget(const FileDropTarget&) = delete;
  FileDropTarget& operator=(const FileDropTarget&) = delete;

  // The owner keeps the object alive while it is registered and cuts OLE's links to it before
  // it goes (DropTargetRegistration); the count only answers OLE's bookkeeping.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override;
  ULONG STDMETHODCALLTYPE Release() noexcept override;

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point,
                                      DWORD* effect) noexcept override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) noexcept override;
  HRESULT STDMETHODCALLTYPE DragLeave() noexcept override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point,
                                 DWORD* effect) noexcept override;

 private:
  DWORD Decide(DWORD allowed) const;

  Events events_;
  ULONG references_ = 0;
  bool offers_file_list_ = false;
};

// The paths of a shell file list, in order, each as long as it is.
std::vector<std::string> PathsOf(HDROP drop);
// The OLE effect bits in the program's terms and back.
OfferedEffects OfferedFrom(DWORD effects);
DWORD EffectBits(DropEffect effect);

// RegisterDragDrop for the object's life. Without OLE on the thread the window simply takes no
// drops. The end revokes the registration and cuts every link OLE still holds to the target,
// also those of a drag source in another process, so the target may go right after.
class DropTargetRegistration {
 public:
  DropTargetRegistration(HWND window, IDropTarget& target);
  ~DropTargetRegistration();
  DropTargetRegistration(const DropTargetRegistration&) = delete;
  DropTargetRegistration& operator=(const DropTargetRegistration&) = delete;
  bool Registered() const { return registered_; }

 private:
  HWND window_;
  IDropTarget& target_;
  bool registered_;
};

}  // namespace tess::view
