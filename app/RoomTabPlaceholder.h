#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace data
{
class KORDataBusOC;
}

namespace app
{

// The room tab of a build that has no room controller: an empty button bar and a content that says so.
class RoomTabPlaceholder : public QObject
{
    Q_OBJECT
public:
    explicit RoomTabPlaceholder(data::KORDataBusOC &dataBus, QObject *parent = nullptr);
    ~RoomTabPlaceholder() override;

    void initObjet() {}
    QWidget *afficheBoutons() const { return m_boutons; }
    QWidget *afficheVue() const { return m_vue; }

private:
    QPointer<QWidget> m_boutons;
    QPointer<QWidget> m_vue;
};

} // namespace app
