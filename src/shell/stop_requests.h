// SIGTERM, SIGHUP, SIGINT and the desktop session's end close the program
// the way Exit does, a running test included.
#pragma once

namespace trevalon::shell {

// Call once the application object exists.
void EndProgramOnStopRequests();

// What the session manager's commitDataRequest does: nothing to save, the
// program ends as on Exit.
void EndProgramAtSessionEnd();

}  // namespace trevalon::shell
