// The shape of the copy's temporary files, "~tessaline-" + 16 hex digits + ".tmp": the copy
// writes a replacement under such a name and deletes the leftovers of interrupted runs by it,
// and a file-system probe names its scratch file so that a crash leaves nothing else behind.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tess {

inline constexpr std::string_view kTemporaryPrefix = "~tessaline-";
inline constexpr std::string_view kTemporarySuffix = ".tmp";
inline constexpr int kTemporaryHexDigits = 16;

// The temporary name that carries tag, its hex digits most significant first.
std::string TemporaryName(std::uint64_t tag);
// The count-th of the temporary names drawn from seed: splitmix64 spreads the draws over the
// whole range, so that draws from nearby seeds (another run, another try) do not meet.
std::string DrawnTemporaryName(std::uint64_t seed, std::uint64_t count);
// True when a file name has the shape of a temporary name (in any letter case).
bool IsTemporaryName(std::string_view name);

}  // namespace tess
