// The history log's two forms: the ANSI code page while every line fits it, UTF-8 behind a
// byte-order mark from the first line that does not; and the text read back from either.
#include <gtest/gtest.h>

#include "history/log_forms.h"
#include "support/fakes.h"

namespace tess::test {
namespace {

TEST(HistoryLogFormsTest, ALogStaysInTheCodePageUntilALineDoesNotFitItThenItIsUtf8) {
  const std::string log = "C:\\Temp\\Tessaline.txt", mark = "\xEF\xBB\xBF";
  const std::string cafe = "Caf\xC3\xA9", japanese = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";
  struct Case {
    const char* name;
    const char* earlier;            // the log's bytes before the line; nullptr: no log
    std::string line, bytes, text;  // the line; the log's bytes after it; the clipboard's text
    bool log_read_only = false;     // the converted log cannot take the old one's place
  };
  for (const Case& c : {
           Case{"a line that fits", nullptr, cafe, "Caf\xE9\r\n", cafe + "\r\n"},
           Case{"a question mark of its own fits", "A\r\n", "B?", "A\r\nB?\r\n", "A\r\nB?\r\n"},
           Case{"a line beyond it converts the log", "Caf\xE9\r\n", japanese,
                mark + cafe + "\r\n" + japanese + "\r\n", cafe + "\r\n" + japanese + "\r\n"},
           Case{"a log already in UTF-8", "\xEF\xBB\xBFX\r\n", cafe, mark + "X\r\n" + cafe + "\r\n",
                "X\r\n" + cafe + "\r\n"},
           Case{"a conversion cut short", "Caf\xE9\r\n", japanese, "Caf\xE9\r\n", cafe + "\r\n",
                true},
       }) {
    FakeFileSystem files;
    files.AddFolder("C:\\Temp");
    if (c.earlier) files.AddFile(log, c.earlier);
    if (c.log_read_only) files.read_only.insert(FakeFileSystem::Key(log));
    if (c.log_read_only) {
      EXPECT_THROW(AppendLogLine(files, log, c.line), PlatformError) << c.name;
    } else {
      AppendLogLine(files, log, c.line);
    }
    EXPECT_EQ(files.Content(log), c.bytes) << c.name;
    EXPECT_EQ(ReadLogText(files, log), c.text) << c.name;
    EXPECT_EQ(files.TreeBelow("C:\\Temp").size(), 1u) << c.name;  // nothing left beside it
  }
}

}  // namespace
}  // namespace tess::test
