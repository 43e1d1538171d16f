#include "RoomTabPlaceholder.h"

#include <QLabel>
#include <QVBoxLayout>

namespace app
{

RoomTabPlaceholder::RoomTabPlaceholder(data::KORDataBusOC &, QObject *parent)
    : QObject(parent), m_boutons(new QWidget), m_vue(new QWidget)
{
    auto *layout = new QVBoxLayout(m_vue);
    layout->addWidget(new QLabel(QStringLiteral("Cette version de Locavia n'a pas d'onglet des salles.")));
}

RoomTabPlaceholder::~RoomTabPlaceholder()
{
    // The main window may hold the two views; whoever goes first deletes them.
    delete m_boutons.data();
    delete m_vue.data();
}

} // namespace app
