// The history log's two forms: the ANSI code page while every line fits it, UTF-8 behind a
// byte-order mark from the first line that does not; and the text read back from either.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "history/log_forms.h"
#include "support/fakes.h"

namespace tess::test {
namespace {

constexpr char kLog[] = "C:\\Temp\\Tessaline.txt";
constexpr char kMark[] = "\xEF\xBB\xBF";
constexpr char kCafeUtf8[] = "Caf\xC3\xA9";                           // Café
constexpr char kCafeCodePage[] = "Caf\xE9";                           // Café in Windows-1252
constexpr char kJapanese[] = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";  // 日本語

struct FormCase {
  const char* name;
  const char* earlier;  // the log's bytes before the line; nullptr: no log
  std::string line;
  std::string bytes;  // the log's bytes after it
  std::string text;   // what Copy History To Clipboard puts on the clipboard
};

TEST(HistoryLogFormsTest, ALogStaysInTheCodePageUntilALineDoesNotFitItThenItIsUtf8) {
  const std::string cafe = std::string(kCafeUtf8) + " saved";
  const std::string japanese = std::string(kJapanese) + " saved";
  for (const FormCase& c : {
           FormCase{"a new log of lines that fit", nullptr, cafe,
                    std::string(kCafeCodePage) + " saved\r\n", cafe + "\r\n"},
           FormCase{"a question mark of its own fits", "A\r\n", "Why? saved", "A\r\nWhy? saved\r\n",
                    "A\r\nWhy? saved\r\n"},
           FormCase{"a line beyond the code page converts the log", "Caf\xE9\r\n", japanese,
                    std::string(kMark) + kCafeUtf8 + "\r\n" + japanese + "\r\n",
                    std::string(kCafeUtf8) + "\r\n" + japanese + "\r\n"},
           FormCase{"a new log of a line beyond it", nullptr, japanese,
                    std::string(kMark) + japanese + "\r\n", japanese + "\r\n"},
           FormCase{"a log already in UTF-8 stays so", "\xEF\xBB\xBFX\r\n", cafe,
                    std::string(kMark) + "X\r\n" + cafe + "\r\n", "X\r\n" + cafe + "\r\n"},
       }) {
    FakeFileSystem files;
    files.AddFolder("C:\\Temp");
    if (c.earlier) files.AddFile(kLog, c.earlier);
    AppendLogLine(files, kLog, c.line);
    EXPECT_EQ(files.Content(kLog), c.bytes) << c.name;
    EXPECT_EQ(ReadLogText(files, kLog), c.text) << c.name;
    EXPECT_EQ(files.TreeBelow("C:\\Temp").size(), 1u) << c.name;  // no file left beside it
  }
}

// The process ends in the middle of writing the converted log: nothing after that write runs.
struct Crash {};
class CrashingFiles : public FakeFileSystem {
 public:
  bool crash = true;
  FileError CreateExclusive(const std::string& path, std::uint32_t attributes,
                            std::unique_ptr<OpenFile>* file) override {
    const FileError e = FakeFileSystem::CreateExclusive(path, attributes, file);
    if (!e.Failed() && crash) *file = std::make_unique<HalfWritten>(std::move(*file));
    return e;
  }

 private:
  class HalfWritten : public OpenFile {
   public:
    explicit HalfWritten(std::unique_ptr<OpenFile> inner) : inner_(std::move(inner)) {}
    FileError Read(char* data, std::size_t size, std::size_t* got) override {
      return inner_->Read(data, size, got);
    }
    FileError Write(const char* data, std::size_t size) override {
      inner_->Write(data, size / 2);
      throw Crash{};
    }
    FileError SetTimes(const FileTimes& times, std::uint32_t attributes) override {
      return inner_->SetTimes(times, attributes);
    }
    FileError Flush() override { return inner_->Flush(); }
    FileError RenameOver(const std::string& target, bool replace) override {
      return inner_->RenameOver(target, replace);
    }

   private:
    std::unique_ptr<OpenFile> inner_;
  };
};

TEST(HistoryLogFormsTest, ACrashWhileConvertingLeavesTheOldLogWholeAndTheNextLineConvertsIt) {
  CrashingFiles files;
  files.AddFolder("C:\\Temp");
  files.AddFile(kLog, "Caf\xE9\r\n");
  const std::string japanese = std::string(kJapanese) + " saved";
  EXPECT_THROW(AppendLogLine(files, kLog, japanese), Crash);
  EXPECT_EQ(files.Content(kLog), "Caf\xE9\r\n");

  files.crash = false;  // started again, with the half file of the crash still there
  AppendLogLine(files, kLog, japanese);
  EXPECT_EQ(files.Content(kLog), std::string(kMark) + kCafeUtf8 + "\r\n" + japanese + "\r\n");
}

}  // namespace
}  // namespace tess::test
