#pragma once

#include "FormHost.h"

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
    // The windows belong to fenetre, the window they open above; without it, to a window of their own.
    explicit Batiment(data::KORDataBusOC &dataBus, QWidget *fenetre = nullptr, QObject *parent = nullptr);
    ~Batiment() override;

    Ui::Batiment &form() { return *ui; }

private:
    data::KORDataBusOC &m_dataBus;
    framework::FormHost m_formulaire; // holds the windows
    std::unique_ptr<Ui::Batiment> ui;
};

} // namespace buildings
