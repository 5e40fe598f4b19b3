// The history line: whatever a copy reports, the log gets exactly one line per entry, and it
// says "saved" only for a complete copy.
#include <cstddef>
#include <cstdint>
#include <string>

#include "backup/run_report.h"
#include "fuzz/fuzz_input.h"

namespace {

bool OneLine(const std::string& text) { return text.find_first_of("\r\n") == std::string::npos; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tess::fuzz::FuzzInput input(data, size);
  const std::uint8_t shape = input.Byte();
  tess::EntryResult result;
  result.kind =
      (shape & 1) ? tess::EntryResult::Kind::kCopied : tess::EntryResult::Kind::kNotCopied;
  result.copy.files_copied = input.Byte();
  result.copy.files_skipped = input.Byte();
  result.copy.files_failed = (shape & 2) ? input.Byte() : 0;
  result.copy.folders_failed = (shape & 4) ? input.Byte() : 0;
  // Names and times never hold line breaks; what the system reports may.
  std::string name = input.Piece();
  std::string when = input.Piece();
  if (!OneLine(name) || !OneLine(when)) return 0;
  result.copy.first_failure_path = input.Piece();
  result.copy.first_failure_reason = input.Piece();
  result.missing_destination = input.Piece();
  result.creation_error = input.Piece();
  if (!OneLine(result.missing_destination)) return 0;

  const std::string line = tess::HistoryLine(name, when, result);
  const std::string& all = input.All();
  FUZZ_CHECK(OneLine(line), all);
  FUZZ_CHECK(line.rfind(name, 0) == 0, all);
  const bool says_saved = line.compare(name.size(), 21, " was backup saved at ") == 0;
  const bool says_not_saved = line.compare(name.size(), 25, " was NOT backup saved at ") == 0;
  FUZZ_CHECK(says_saved != says_not_saved, all);
  FUZZ_CHECK(says_saved == result.Complete(), all);
  return 0;
}
