#include "Options.h"

#include "KORDataBusOC.h"
#include "ui_Options.h"

namespace reference
{

Options::Options(data::KORDataBusOC &dataBus, QWidget *barre, QWidget *contenu, QObject *parent)
    : QObject(parent), m_dataBus(dataBus), m_formulaire(contenu), ui(std::make_unique<Ui::Options>())
{
    // The interface file holds the bar of buttons above the content; the shell shows the bar in its own
    // place.
    ui->setupUi(m_formulaire.racine());
    m_formulaire.placer(ui->boutons, barre);
    ui->mode->setId(ui->modeCorrespondance, modeCorrespondance);
    ui->mode->setId(ui->modeBatiment, modeBatiment);
    m_boutons = ui->boutons;
    m_vue = m_formulaire.racine();
}

Options::~Options() = default;

void Options::initObjet()
{
    // The lists of the tab, their orderings and the two modes are set up with the tab's own behaviour;
    // until then the tab shows its empty lists.
}

} // namespace reference
