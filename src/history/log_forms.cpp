#include "history/log_forms.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <vector>

#include "base/path_text.h"
#include "base/temporary_name.h"
#include "ports/file_queries.h"
#include "ports/file_system.h"

namespace tess {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
// The code the code page gives a character it cannot hold: a question mark.
constexpr int kUnheld = 63;
constexpr long kFileNotFound = 53;
constexpr long kPathNotFound = 76;
// Names tried for the converted log beside the old one; another is taken while one is left over
// from a crash or held by a conversion in another process.
constexpr int kNameAttempts = 16;
constexpr std::uint64_t kConversionTag = 0x6C6F672D75746638ull;

enum class LogForm { kMissing, kCodePage, kUtf8 };

// Up to limit bytes from the start of an open file.
std::string ReadBytes(OpenFile& file, std::size_t limit) {
  std::string bytes;
  std::vector<char> chunk(std::min<std::size_t>(limit, 64 * 1024));
  while (bytes.size() < limit) {
    std::size_t got = 0;
    const FileError e = file.Read(chunk.data(), std::min(chunk.size(), limit - bytes.size()), &got);
    if (e.Failed()) ThrowFileError(e, kFileNotFound);
    if (got == 0) break;
    bytes.append(chunk.data(), got);
  }
  return bytes;
}

// A log that exists but cannot be read is no log to append to in a guessed form.
LogForm FormOf(FileSystem& files, const std::string& path, std::string* utf8_text = nullptr) {
  std::unique_ptr<OpenFile> file;
  const FileError e = files.OpenForReading(path, &file);
  if (e.kind == FileErrorKind::kNotFound) return LogForm::kMissing;
  if (e.Failed()) ThrowFileError(e, kFileNotFound);
  if (ReadBytes(*file, kUtf8Mark.size()) != kUtf8Mark) return LogForm::kCodePage;
  if (utf8_text) *utf8_text = ReadBytes(*file, std::string::npos);
  return LogForm::kUtf8;
}

// The mark and the text as a new file beside the log, renamed over it.
void ReplaceWithUtf8(FileSystem& files, const std::string& path, const std::string& text) {
  const std::string bytes = std::string(kUtf8Mark) + text;
  std::unique_ptr<OpenFile> file;
  std::string temporary;
  FileError e;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    temporary = WithTrailingBackslash(FolderOf(path)) + TemporaryName(kConversionTag + attempt);
    e = files.CreateExclusive(temporary, 0, &file);
    if (e.kind != FileErrorKind::kAlreadyExists) break;
  }
  if (e.Failed()) ThrowFileError(e, kPathNotFound);
  e = file->Write(bytes.data(), bytes.size());
  if (!e.Failed()) e = file->Flush();
  if (!e.Failed()) e = file->RenameOver(path, true);
  if (e.Failed()) {
    file.reset();
    files.Delete(temporary);
    ThrowFileError(e, kFileNotFound);
  }
}

}  // namespace

bool FitsCodePage(FileSystem& files, const std::string& text) {
  const std::vector<int> codes = files.AnsiCodes(text);
  return std::count(codes.begin(), codes.end(), kUnheld) ==
         std::count(text.begin(), text.end(), '?');
}

void AppendLogLine(FileSystem& files, const std::string& path, const std::string& line) {
  const LogForm form = FormOf(files, path);
  if (form == LogForm::kUtf8) return files.AppendBytes(path, line + "\r\n");
  if (FitsCodePage(files, line)) return files.AppendLine(path, line);
  // The new line goes in with the conversion, so the log never shows one without the other.
  const std::string earlier = form == LogForm::kCodePage ? files.ReadAnsiText(path) : "";
  ReplaceWithUtf8(files, path, earlier + line + "\r\n");
}

std::string ReadLogText(FileSystem& files, const std::string& path) {
  std::string text;
  if (FormOf(files, path, &text) == LogForm::kUtf8) return text;
  return files.ReadAnsiText(path);
}

}  // namespace tess
