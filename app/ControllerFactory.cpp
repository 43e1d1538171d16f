#include "ControllerFactory.h"

#include "Batiment.h"
#include "MatosUnite.h"
#include "Options.h"
#include "TabControllerAdapter.h"

#if __has_include("Creation.h")
#include "Creation.h"
using RoomTab = rooms::Creation;
#else
// A tree without the room tab still starts, with an empty tab in its place.
#include "RoomTabPlaceholder.h"
using RoomTab = app::RoomTabPlaceholder;
#endif

namespace app
{

ControllerFactory ControllerFactory::standard()
{
    ControllerFactory factory;
    factory.creation = [](data::KORDataBusOC &bus) { return makeTab(std::make_unique<RoomTab>(bus)); };
    factory.options = [](data::KORDataBusOC &bus) {
        return makeTab(std::make_unique<reference::Options>(bus));
    };
    factory.batiment = [](data::KORDataBusOC &bus) { return std::make_unique<buildings::Batiment>(bus); };
    factory.matosUnite = [](data::KORDataBusOC &bus) { return std::make_unique<reference::MatosUnite>(bus); };
    return factory;
}

} // namespace app
