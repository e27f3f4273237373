// A console window of the checker's own, as a double-click in Explorer
// gives it: it closes the moment the checker ends.
#pragma once

// Whether this process alone is attached to its console, and reads from it.
bool InConsoleOfItsOwn();

// Asks for Enter, and returns once it was pressed (or input ended).
void WaitForEnter();
