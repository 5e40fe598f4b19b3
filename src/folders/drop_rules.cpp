#include "folders/drop_rules.h"

namespace tess {

DropEffect ChooseDropEffect(bool offers_file_list, const OfferedEffects& allowed) {
  if (!offers_file_list) return DropEffect::kNone;
  if (allowed.copy) return DropEffect::kCopy;
  if (allowed.link) return DropEffect::kLink;
  return DropEffect::kNone;
}

}  // namespace tess
