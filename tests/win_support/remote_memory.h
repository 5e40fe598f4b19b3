// Memory inside another process (or this one) for window messages whose parameter points at a
// record: list-view items and columns, tree items, tooltips, a path for the browse dialog. The
// record is placed there, the message sent, and the answer read back.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "win32/handles.h"

namespace tess::test {

class RemoteMemory {
 public:
  RemoteMemory(DWORD process_id, size_t bytes);
  ~RemoteMemory();
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;

  bool Valid() const { return base_ != nullptr; }
  // The address of a byte of the block as the other process sees it.
  char* At(size_t offset) const { return base_ + offset; }
  LPARAM Param(size_t offset = 0) const { return reinterpret_cast<LPARAM>(At(offset)); }
  bool Write(size_t offset, const void* data, size_t bytes) const;
  bool Read(size_t offset, void* data, size_t bytes) const;
  // The zero-terminated wide text at an offset, at most max_chars long.
  std::wstring ReadText(size_t offset, size_t max_chars) const;

 private:
  win32::UniqueObject process_;
  char* base_ = nullptr;
};

// A record followed by room for its text, the shape of LVITEMW, LVCOLUMNW, TVITEMW and
// TOOLINFOW requests: point the record's text field at TextBuffer(), Put() it, send the
// message with the returned parameter, then Get() the record and Text().
template <typename Record>
class RemoteRecord {
 public:
  static constexpr int kTextChars = 4096;

  explicit RemoteRecord(DWORD process_id)
      : memory_(process_id, sizeof(Record) + kTextChars * sizeof(wchar_t)) {}
  bool Valid() const { return memory_.Valid(); }
  LPWSTR TextBuffer() const { return reinterpret_cast<LPWSTR>(memory_.At(sizeof(Record))); }
  // Places the record, with an empty text after it; returns the record's address.
  LPARAM Put(const Record& record) const {
    const wchar_t nothing = L'\0';
    memory_.Write(sizeof(Record), &nothing, sizeof(nothing));
    memory_.Write(0, &record, sizeof(record));
    return memory_.Param();
  }
  Record Get() const {
    Record record = {};
    memory_.Read(0, &record, sizeof(record));
    return record;
  }
  std::wstring Text() const { return memory_.ReadText(sizeof(Record), kTextChars); }

 private:
  RemoteMemory memory_;
};

}  // namespace tess::test
