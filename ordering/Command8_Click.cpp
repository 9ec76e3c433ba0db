#include "form/fmenu.h"
#include "ordering/Ordering.h"

namespace quibex {

void Command8_Click(fmenu&) {}
void Command7_Click(fmenu&) {}

}  // namespace quibex
