// Help: where to ask questions.
#pragma once

namespace tess {

class Dialogs;

void ShowHelp(Dialogs& dialogs);

}  // namespace tess
