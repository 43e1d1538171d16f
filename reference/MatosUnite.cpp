#include "MatosUnite.h"

#include "KORDataBusOC.h"
#include "ui_MatosUnite.h"

namespace reference
{

MatosUnite::MatosUnite(data::KORDataBusOC &dataBus, QWidget *fenetre, QObject *parent)
    : QObject(parent), m_dataBus(dataBus), m_formulaire(fenetre), ui(std::make_unique<Ui::MatosUnite>())
{
    ui->setupUi(m_formulaire.racine());
}

MatosUnite::~MatosUnite() = default;

} // namespace reference
