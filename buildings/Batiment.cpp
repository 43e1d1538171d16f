#include "Batiment.h"

#include "KORDataBusOC.h"
#include "ui_Batiment.h"

namespace buildings
{

Batiment::Batiment(data::KORDataBusOC &dataBus, QWidget *fenetre, QObject *parent)
    : QObject(parent), m_dataBus(dataBus), m_formulaire(fenetre), ui(std::make_unique<Ui::Batiment>())
{
    ui->setupUi(m_formulaire.racine());
}

Batiment::~Batiment() = default;

} // namespace buildings
