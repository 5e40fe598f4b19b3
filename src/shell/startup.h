// The small steps of the start-up sequence that reach outside the window: the application
// title and the occasional visit to the maker's web site.
#pragma once

#include <string>

namespace tess {

class Shell;
class Dialogs;
class Clock;

// The product name cut to its words within 40 characters; a one-word name stays whole.
std::string ApplicationTitleFor(const std::string& product_name);
void SetApplicationTitle(Dialogs& dialogs);
// On about one start in a hundred opens the maker's web site; returns whether it did.
bool VisitWebSiteAtRandom(Clock& clock, Shell& shell);

}  // namespace tess
