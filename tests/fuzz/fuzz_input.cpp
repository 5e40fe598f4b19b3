#include "fuzz/fuzz_input.h"

#include <cstdio>
#include <cstdlib>

namespace tess::fuzz {

void Fail(const char* property, const std::string& input) {
  std::fprintf(stderr, "property broken: %s\ninput (%zu bytes):", property, input.size());
  for (unsigned char c : input) std::fprintf(stderr, " %02x", c);
  std::fprintf(stderr, "\n");
  std::abort();
}

}  // namespace tess::fuzz
