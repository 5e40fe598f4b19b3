#include "base/unchanged_file.h"

namespace tess {

bool CopyIsCurrent(const FileStamp& source, const FileStamp& copy) {
  if (source.size != copy.size || source.last_write != copy.last_write) return false;
  if (source.change == 0 || copy.change == 0) return true;
  return source.change <= copy.change;
}

bool CopyIsCurrentOnCoarseVolume(const FileStamp& source, const FileStamp& copy) {
  if (source.size != copy.size) return false;
  const std::int64_t apart = source.last_write > copy.last_write
                                 ? source.last_write - copy.last_write
                                 : copy.last_write - source.last_write;
  return apart <= kCoarseWriteTimeSlack;
}

}  // namespace tess
