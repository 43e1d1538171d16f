#pragma once

#include "FormHost.h"

#include <QObject>
#include <QWidget>
#include <memory>

namespace Ui
{
class MatosUnite;
}

namespace data
{
class KORDataBusOC;
}

namespace reference
{

// The equipment families and types and the units of measure, each kept in a modal panel opened from the
// administration menu.
class MatosUnite : public QObject
{
    Q_OBJECT
public:
    // The panels belong to fenetre, the window they open above; without it, to a window of their own.
    explicit MatosUnite(data::KORDataBusOC &dataBus, QWidget *fenetre = nullptr, QObject *parent = nullptr);
    ~MatosUnite() override;

    Ui::MatosUnite &form() { return *ui; }

private:
    data::KORDataBusOC &m_dataBus;
    framework::FormHost m_formulaire; // holds the panels
    std::unique_ptr<Ui::MatosUnite> ui;
};

} // namespace reference
