#pragma once

// Runs the main loop for a while (timers, user events and other callers
// meanwhile), as the waits of the link and the session do.
void runRunLoopForSeconds(double seconds);
