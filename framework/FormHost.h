#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

namespace framework
{

// Where a controller's form lives. The form's root, the widget its interface file is set up on, is a child
// of the widget that shows it (the main window's content for a tab, the main window for the windows and
// panels of a controller), so it goes when that widget goes; a part shown elsewhere (a tab's bar of
// buttons) is moved to the widget that shows it. The form waits hidden until that widget shows it.
//
// A controller made without such a widget (tests, benchmarks) keeps its form in a window of its own, which
// this object owns: the bar of buttons then stays above the content, as the interface file lays them out.
class FormHost
{
public:
    explicit FormHost(QWidget *hote);
    ~FormHost();
    FormHost(const FormHost &) = delete;
    FormHost &operator=(const FormHost &) = delete;

    // The widget to set the interface file up on; none once the widget that shows it has gone.
    QWidget *racine() const { return m_racine; }
    // Moves a part of the form to the widget that shows it; without one the part stays in the form. The
    // form's own margins go with it, so that the rest reads as before.
    void placer(QWidget *partie, QWidget *hote) const;

private:
    std::unique_ptr<QWidget> m_fenetrePropre;
    QPointer<QWidget> m_racine;
};

} // namespace framework
