// View, copy and clear the history log.
#include "shell/form1.h"

namespace tess {

void Form1::PushButton3_Click() {}
void Form1::PushButton4_Click() {}
void Form1::PushButton12_Click() {}

}  // namespace tess
