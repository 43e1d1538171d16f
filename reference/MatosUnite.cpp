#include "MatosUnite.h"

#include "KORDataBusOC.h"
#include "ui_MatosUnite.h"

namespace reference
{

MatosUnite::MatosUnite(data::KORDataBusOC &dataBus, QObject *parent)
    : QObject(parent), m_dataBus(dataBus), ui(std::make_unique<Ui::MatosUnite>()),
      m_racine(std::make_unique<QWidget>())
{
    ui->setupUi(m_racine.get());
}

MatosUnite::~MatosUnite() = default;

} // namespace reference
