#pragma once

namespace app {

// Enter on a focused push button presses it, in every window of the program, dialogs or not.
// Installed once on the application, before the first window opens.
void pressButtonsOnEnter();

} // namespace app
