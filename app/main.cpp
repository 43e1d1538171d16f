// The process entry of Locavia. The command line goes to the application object, whose user defaults read
// its "-Key value" pairs (-HalvanePort, -HalvaneTicket).

#include "ApplicationMain.h"

int main(int argc, char *argv[])
{
    return app::NSApplicationMain(argc, argv);
}
