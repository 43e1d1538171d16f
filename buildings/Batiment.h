#pragma once

#include <QObject>
#include <QWidget>
#include <memory>

namespace Ui
{
class Batiment;
}

namespace data
{
class KORDataBusOC;
}

namespace buildings
{

// The building register: a modal window listing every building, where buildings are created and
// modified, and the export window of a building's room list.
class Batiment : public QObject
{
    Q_OBJECT
public:
    explicit Batiment(data::KORDataBusOC &dataBus, QObject *parent = nullptr);
    ~Batiment() override;

    Ui::Batiment &form() { return *ui; }

private:
    data::KORDataBusOC &m_dataBus;
    std::unique_ptr<Ui::Batiment> ui;
    std::unique_ptr<QWidget> m_racine; // holds the windows
};

} // namespace buildings
