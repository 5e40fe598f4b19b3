// The keys the program reacts to, in its own terms; the view translates the platform's codes.
#pragma once

namespace tess {

enum class Key {
  kOther,  // any key the program does not react to
  kDelete,
  kUp,
  kDown,
};

// The modifier bits that come with a key: Shift, Ctrl and Alt.
inline constexpr int kShiftMask = 1;
inline constexpr int kCtrlMask = 2;
inline constexpr int kAltMask = 4;

}  // namespace tess
