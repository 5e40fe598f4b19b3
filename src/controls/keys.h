// The keys the program reacts to, in its own terms; the view translates the platform's codes.
#pragma once

namespace tess {

enum class Key {
  kOther,  // any key the program does not react to
  kDelete,
};

}  // namespace tess
