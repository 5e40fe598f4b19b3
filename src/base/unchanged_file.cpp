#include "base/unchanged_file.h"

namespace tess {

bool CopyIsCurrent(const FileStamp& source, const FileStamp& copy) {
  if (source.size != copy.size || source.last_write != copy.last_write) return false;
  if (source.change == 0 || copy.change == 0) return true;
  return source.change <= copy.change;
}

}  // namespace tess
