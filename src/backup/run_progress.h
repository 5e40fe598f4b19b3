// What a running backup shows of how far it has come, worked out from plain values: the share
// on the progress bar and the text that names the entry and its counts, against the totals the
// entry's previous run found, which are kept from run to run.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "copy/copy_tally.h"

namespace tess {

// What one entry's copy went through: its files and their bytes.
struct EntryTotals {
  std::uint64_t files = 0;
  std::uint64_t bytes = 0;
  bool operator==(const EntryTotals&) const = default;
};

// The totals of each entry (by its text as listed) in one settings value: for each entry its
// text, files and bytes, each followed by "|", which no Windows path holds. A text that cannot
// be read gives what could be read before it.
std::map<std::string, EntryTotals> ReadEntryTotals(const std::string& text);
std::string EntryTotalsText(const std::map<std::string, EntryTotals>& totals);

// The bar's maximum while a run shows how far it has come.
inline constexpr int kProgressSteps = 1000;

// The bar's value: the share of the expected totals done (files and bytes weighed alike),
// slowing before the end so that it never gets there before the run does; without totals, a
// value that keeps moving with every file and never gets there either.
int ProgressValue(const CopyProgress& done, const std::optional<EntryTotals>& expected);

// Numbers as the user's locale writes them, with this many decimals.
using NumberText = std::function<std::string(double value, int decimals)>;

// "Docs: 1,234 of 5,000 files, 0.4 of 1.2 GB"; without totals, or once the copy has found more
// files or bytes than expected, "Docs: 5,123 files, 1.3 GB".
std::string ProgressText(const std::string& name, const CopyProgress& done,
                         const std::optional<EntryTotals>& expected, const NumberText& number);

}  // namespace tess
