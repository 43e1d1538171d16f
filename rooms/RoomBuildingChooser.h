#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <memory>

class QComboBox;
class QWidget;

namespace Ui
{
class ListeBatiments;
} // namespace Ui

namespace data
{
class KORDataBusOC;
}

namespace rooms
{

struct RoomDisplayGroups;

// The building list tableViewBatiment, in its window listeBatiments, opened from the button beside the
// building pop-up: a double click on a building (valideBatiment), or "Choisir", chooses it in the pop-up.
// It helps where building names are alike, as it shows their codes too.
class RoomBuildingChooser : public QObject
{
    Q_OBJECT
public:
    RoomBuildingChooser(data::KORDataBusOC &dataBus, QComboBox *batiments, RoomDisplayGroups &tables,
                        QWidget *proprietaire, QObject *parent = nullptr);
    ~RoomBuildingChooser() override;

    void choisirBatiment(QObject *sender);
    void valideBatiment();
    void annulerBatiment();

    QDialog *listeBatiments() const { return m_fenetre; }

private:
    data::KORDataBusOC &m_dataBus;
    QComboBox *m_batiments; // the form's pop-up of buildings
    RoomDisplayGroups &m_tables;
    std::unique_ptr<Ui::ListeBatiments> uiListe;
    QPointer<QDialog> m_fenetre; // child of the form's view
};

} // namespace rooms
