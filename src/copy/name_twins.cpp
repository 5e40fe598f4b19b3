#include "copy/name_twins.h"

#include <algorithm>
#include <numeric>

namespace tess {

std::vector<std::size_t> NameHolders(const std::vector<TreeEntry>& listing) {
  // Sorted by key and then by name, each group of one name starts with its ordinal first.
  // std::string compares its bytes as unsigned, so the order of names is code point order.
  std::vector<std::size_t> order(listing.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const TreeEntry& x = listing[a];
    const TreeEntry& y = listing[b];
    return x.key != y.key ? x.key < y.key : x.name < y.name;
  });
  std::vector<std::size_t> holders(listing.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    const bool first_of_name = i == 0 || listing[order[i]].key != listing[order[i - 1]].key;
    holders[order[i]] = first_of_name ? order[i] : holders[order[i - 1]];
  }
  return holders;
}

std::string TwinReason(const std::string& first) {
  return "not copied, its name differs from " + first + " only in letter case";
}

}  // namespace tess
