#pragma once

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
    explicit MatosUnite(data::KORDataBusOC &dataBus, QObject *parent = nullptr);
    ~MatosUnite() override;

    Ui::MatosUnite &form() { return *ui; }

private:
    data::KORDataBusOC &m_dataBus;
    std::unique_ptr<Ui::MatosUnite> ui;
    std::unique_ptr<QWidget> m_racine; // holds the panels
};

} // namespace reference
