#pragma once

#include <QObject>
#include <QStringList>

class QTableView;

namespace rooms
{

// The columns of the room tab's lists, sized to what they show: long texts (a family, an equipment type, a
// department, a building) take the width, numbers and short codes stay narrow; a cell whose text its column
// cuts shows the whole text as a tooltip. A sub-list is never narrower than its titles: a window too narrow
// for the form scrolls it rather than cut them.
class RoomListColumns : public QObject
{
    Q_OBJECT
public:
    // A sub-list of the form: the long-text columns given take the width the view has left, the others fit
    // their contents; the view keeps the width of its titles, measured again when its font changes.
    static void ajusterSousListe(QTableView *vue, const QList<int> &colonnesLarges);
    // The result list, after each search: every column as wide as its longest text, the buildings' and room
    // types' names measured whole from their full lists (not only from the rooms found), the other columns
    // on the first rows. Answers the width of all the columns together.
    static int ajusterResultats(QTableView *vue, const QStringList &batiments, const QStringList &types);
    // The whole text of a cut cell as its tooltip.
    static void bullesSiCoupe(QTableView *vue);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit RoomListColumns(QTableView *vue);
    static RoomListColumns *pour(QTableView *vue);
    static void garderLesTitres(QTableView *vue);

    QTableView *m_vue;
};

} // namespace rooms
