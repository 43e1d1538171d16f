#pragma once

#include "TabController.h"

#include <memory>
#include <utility>

namespace app
{

// Any controller with initObjet(), afficheBoutons() and afficheVue() as a tab of the main window, without
// the controller knowing the shell.
template <class Controller> class TabControllerAdapter : public TabController
{
public:
    explicit TabControllerAdapter(std::unique_ptr<Controller> controller)
        : m_controller(std::move(controller))
    {
    }

    void initObjet() override { m_controller->initObjet(); }
    QList<eo::EOPrefetch::Fetch> lecturesInitiales() const override
    {
        if constexpr (requires(const Controller &c) { c.lecturesInitiales(); })
            return m_controller->lecturesInitiales();
        else
            return {};
    }
    QWidget *afficheBoutons() const override { return m_controller->afficheBoutons(); }
    QWidget *afficheVue() const override { return m_controller->afficheVue(); }
    QObject *controller() const override { return m_controller.get(); }
    bool applicationShouldTerminate() override
    {
        // A controller with no unsaved work to lose does not declare the question.
        if constexpr (requires(Controller & c) { bool(c.applicationShouldTerminate()); })
            return m_controller->applicationShouldTerminate();
        else
            return true;
    }
    Controller &get() const { return *m_controller; }

private:
    std::unique_ptr<Controller> m_controller;
};

template <class Controller> std::unique_ptr<TabController> makeTab(std::unique_ptr<Controller> controller)
{
    return std::make_unique<TabControllerAdapter<Controller>>(std::move(controller));
}

} // namespace app
