#pragma once

namespace app
{

// Reads the command line (LocaviaCommandLine), then creates the application object in French, with its log
// file and its icon, loads the main interface, and runs the event loop; the start-up sequence runs once the
// loop has begun. Answers the application's exit status: 0 after "Quitter" (or --help, --version), 1 when
// start-up ended the application (identification, rights, database), 2 for a command line it cannot read.
int NSApplicationMain(int argc, char **argv);

} // namespace app
