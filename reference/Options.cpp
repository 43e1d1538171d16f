#include "Options.h"

#include "KORDataBusOC.h"
#include "ui_Options.h"

namespace reference
{

Options::Options(data::KORDataBusOC &dataBus, QObject *parent)
    : QObject(parent), m_dataBus(dataBus), ui(std::make_unique<Ui::Options>())
{
    // The interface file holds the button bar and the content side by side; the shell shows them in two
    // different places, so each is taken out on its own.
    QWidget racine;
    ui->setupUi(&racine);
    ui->mode->setId(ui->modeCorrespondance, modeCorrespondance);
    ui->mode->setId(ui->modeBatiment, modeBatiment);
    m_boutons = ui->boutons;
    m_vue = ui->contenu1;
    m_boutons->setParent(nullptr);
    m_vue->setParent(nullptr);
}

Options::~Options()
{
    // The shell may have taken the two views into its own window; whoever goes first deletes them.
    delete m_boutons.data();
    delete m_vue.data();
}

void Options::initObjet()
{
    // The lists of the tab, their orderings and the two modes are set up with the tab's own behaviour;
    // until then the tab shows its empty lists.
}

} // namespace reference
