#pragma once

#include "EOPrefetch.h"

#include <QList>
#include <QObject>
#include <QWidget>

namespace app
{

// What the main window needs of the controller behind one of its tabs: its set-up, the bar of buttons
// shown above the content, and the content itself.
class TabController
{
public:
    virtual ~TabController() = default;

    virtual void initObjet() = 0;
    // What initObjet reads, so that start-up can ask for it with its own reads at once (none by default).
    virtual QList<eo::EOPrefetch::Fetch> lecturesInitiales() const { return {}; }
    virtual QWidget *afficheBoutons() const = 0;
    virtual QWidget *afficheVue() const = 0;
    // The controller object itself (for menus and notifications).
    virtual QObject *controller() const = 0;
    // Asked before the application ends through "Quitter" or the main window's close box: false keeps it
    // running (the user chose to go on with unsaved work).
    virtual bool applicationShouldTerminate() { return true; }
};

} // namespace app
