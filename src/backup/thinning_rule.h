// Which of one entry's dated backup folders stay when the user keeps fewer: every one of the last
// day, the newest of each day of the last month, the newest of each week before that, and always
// the newest of all, judged by the local time each folder's stamp names.
#pragma once

#include <string>
#include <vector>

#include "backup/destination_listing.h"
#include "ports/clock.h"

namespace tess {

// The names the rule lets go of an entry's backup folders (ReadEntryBackups), oldest first.
// Only the entry's own dated folders count (EntryBackup::OwnDated). Tiers by age (now minus the
// stamp): up to 24 hours, every folder stays; up to 30 days, the newest of each calendar day;
// older, the newest of each week, weeks beginning on Monday. A folder whose stamp lies ahead of now
// is as new as can be. The newest folder stays whatever its age, as does every folder named in
// `kept` (the one the run writes and the one it links from); folders of one moment share its fate.
std::vector<std::string> BackupsToRemove(const std::vector<EntryBackup>& reading,
                                         const LocalTime& now,
                                         const std::vector<std::string>& kept);

}  // namespace tess
