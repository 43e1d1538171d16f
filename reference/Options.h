#pragma once

#include "FormHost.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>

namespace Ui
{
class Options;
}

namespace data
{
class KORDataBusOC;
}

namespace reference
{

// The options tab: the rooms the department does not manage yet, which the user matches with a managed
// room or attaches to a building. The shell shows afficheBoutons() in its button bar and afficheVue() as
// the tab's content.
class Options : public QObject
{
    Q_OBJECT
public:
    // The bar of buttons is made a child of barre and the content a child of contenu, the widgets that show
    // them; without them the tab is a window of its own.
    explicit Options(data::KORDataBusOC &dataBus, QWidget *barre = nullptr, QWidget *contenu = nullptr,
                     QObject *parent = nullptr);
    ~Options() override;

    // Set-up, once the database is open and the tab is built.
    void initObjet();

    QWidget *afficheBoutons() const { return m_boutons; }
    QWidget *afficheVue() const { return m_vue; }
    Ui::Options &form() { return *ui; }

    // The tags of the two modes of the mode buttons.
    static constexpr int modeCorrespondance = 0;
    static constexpr int modeBatiment = 1;

private:
    data::KORDataBusOC &m_dataBus;
    framework::FormHost m_formulaire; // declared first: the form outlives what points into it
    std::unique_ptr<Ui::Options> ui;
    QPointer<QWidget> m_boutons;
    QPointer<QWidget> m_vue;
};

} // namespace reference
