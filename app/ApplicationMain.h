#pragma once

namespace app
{

// Creates the application object, loads the main interface, and runs the event loop; the start-up sequence
// runs once the loop has begun. Answers the application's exit status: 0 after "Quitter", 1 when start-up
// ended the application (identification, rights, database).
int NSApplicationMain(int argc, char **argv);

} // namespace app
