#pragma once

#include "TabController.h"

#include <functional>
#include <memory>

class QWidget;

namespace data
{
class KORDataBusOC;
}

namespace buildings
{
class Batiment;
}

namespace reference
{
class MatosUnite;
}

namespace app
{

// How the application builds its four controllers, each with its interface file, once the data bus is
// open. The application keeps one factory; tests wrap or replace its entries.
struct ControllerFactory {
    // The widgets of the main window that show what the controllers make, each view a child of the widget
    // that shows it: a tab's bar of buttons and its content, and the window above which the building and
    // reference windows open.
    struct Places {
        QWidget *barre = nullptr;
        QWidget *contenu = nullptr;
        QWidget *fenetre = nullptr;
    };
    template <class T> using Make = std::function<std::unique_ptr<T>(data::KORDataBusOC &, const Places &)>;

    Make<TabController> creation;
    Make<TabController> options;
    Make<buildings::Batiment> batiment;
    Make<reference::MatosUnite> matosUnite;

    // The room tab, the options tab, the building register and the reference lists of the program.
    static ControllerFactory standard();
};

} // namespace app
