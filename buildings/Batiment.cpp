#include "Batiment.h"

#include "KORDataBusOC.h"
#include "ui_Batiment.h"

namespace buildings
{

Batiment::Batiment(data::KORDataBusOC &dataBus, QObject *parent)
    : QObject(parent), m_dataBus(dataBus), ui(std::make_unique<Ui::Batiment>()),
      m_racine(std::make_unique<QWidget>())
{
    ui->setupUi(m_racine.get());
}

Batiment::~Batiment() = default;

} // namespace buildings
