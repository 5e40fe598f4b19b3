#include "backup/manifest_file.h"

#include <memory>

#include "base/temporary_name.h"

namespace tess {
namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? "" : path.substr(0, slash);
}

}  // namespace

FileError ReadSmallFile(FileTree& files, const std::string& path, std::uint64_t largest,
                        std::string* text) {
  TreeEntry entry;
  if (FileError e = files.Describe(path, &entry); e.Failed()) return e;
  if (entry.IsFolder()) return files.Refusal(CopyRefusal::kFolderInTheWay);
  if (entry.size > largest) return {FileErrorKind::kOther, "The file is too large."};
  std::unique_ptr<OpenFile> file;
  if (FileError e = files.OpenForReading(path, &file); e.Failed()) return e;
  text->resize(static_cast<std::size_t>(entry.size) + 1);
  std::size_t at = 0;
  for (;;) {
    std::size_t got = 0;
    if (FileError e = file->Read(text->data() + at, text->size() - at, &got); e.Failed()) return e;
    if (got == 0) break;
    at += got;
    if (at == text->size()) text->resize(text->size() * 2);
  }
  text->resize(at);
  return {};
}

// Read and taken in in pieces: the text of a large tree's manifest is never whole in memory
// beside its lines.
ManifestFile ReadManifestFile(FileTree& files, const std::string& path) {
  constexpr std::size_t kPiece = 256 * 1024;
  ManifestFile manifest;
  TreeEntry entry;
  const FileError there = files.Describe(path, &entry);
  if (there.kind == FileErrorKind::kNotFound) return manifest;
  if (!there.Failed() && entry.IsFolder()) {
    manifest.state = ManifestFile::State::kForeign;
    return manifest;
  }
  FileError e = there;
  std::unique_ptr<OpenFile> file;
  if (!e.Failed() && entry.size > kLargestManifest)
    e = {FileErrorKind::kOther, "The file is too large."};
  if (!e.Failed()) e = files.OpenForReading(path, &file);
  ManifestReader reader;
  std::string piece(kPiece, '\0');
  std::uint64_t read = 0;
  while (!e.Failed()) {
    std::size_t got = 0;
    e = file->Read(piece.data(), piece.size(), &got);
    if (e.Failed() || got == 0) break;
    read += got;
    if (read > kLargestManifest) e = {FileErrorKind::kOther, "The file is too large."};
    reader.Add(std::string_view(piece).substr(0, got));
  }
  if (e.Failed()) {
    manifest.state = ManifestFile::State::kUnreadable;
    manifest.reason = e.text;
    return manifest;
  }
  manifest.reading = reader.Finish();
  manifest.state =
      manifest.reading.ours ? ManifestFile::State::kOurs : ManifestFile::State::kForeign;
  return manifest;
}

FileError WriteManifestFile(FileTree& files, const std::string& path, const ManifestOwner& owner,
                            const ManifestLines& lines, bool replace, std::uint64_t tag) {
  const std::string folder = FolderOf(path);
  std::string temporary;
  std::unique_ptr<OpenFile> file;
  FileError e;
  for (int attempt = 0; attempt < 8; ++attempt) {
    temporary = folder + "\\" + DrawnTemporaryName(tag, static_cast<std::uint64_t>(attempt) + 1);
    e = files.CreateExclusive(temporary, kAttrHidden, &file);
    if (e.kind != FileErrorKind::kAlreadyExists) break;
  }
  if (e.Failed()) return e;
  PutManifestText(owner, lines, [&](std::string_view piece) {
    e = file->Write(piece.data(), piece.size());
    return !e.Failed();
  });
  if (!e.Failed()) e = file->Flush();
  if (!e.Failed()) e = file->RenameOver(path, replace);
  if (!e.Failed()) file->Flush();  // the rename itself made durable too
  file.reset();
  if (e.Failed()) files.Delete(temporary);
  return e;
}

void RemoveManifestFile(FileTree& files, const std::string& path) {
  if (ReadManifestFile(files, path).state != ManifestFile::State::kOurs) return;
  if (files.Delete(path).Failed()) {
    files.SetAttributes(path, 0);  // a hidden or read-only file may need its bits cleared first
    files.Delete(path);
  }
}

}  // namespace tess
