#include "ControllerFactory.h"

#include "Batiment.h"
#include "Creation.h"
#include "MatosUnite.h"
#include "Options.h"
#include "TabControllerAdapter.h"

namespace app
{

ControllerFactory ControllerFactory::standard()
{
    ControllerFactory factory;
    factory.creation = [](data::KORDataBusOC &bus, const Places &places) {
        return makeTab(std::make_unique<rooms::Creation>(bus, places.barre, places.contenu));
    };
    factory.options = [](data::KORDataBusOC &bus, const Places &places) {
        return makeTab(std::make_unique<reference::Options>(bus, places.barre, places.contenu));
    };
    factory.batiment = [](data::KORDataBusOC &bus, const Places &places) {
        return std::make_unique<buildings::Batiment>(bus, places.fenetre);
    };
    factory.matosUnite = [](data::KORDataBusOC &bus, const Places &places) {
        return std::make_unique<reference::MatosUnite>(bus, places.fenetre);
    };
    return factory;
}

} // namespace app
