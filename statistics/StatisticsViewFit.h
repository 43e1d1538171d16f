#pragma once

#include <QObject>
#include <QPointer>

class QSplitter;
class QTableView;
class QWidget;

namespace statistics
{

class StatisticsChartPanel;
class TwoLineHeaderModel;

// Shares a view's room between its table and its charts. The table's columns are made to fit the room first:
// their titles on one line when there is room, else the figures' titles on two lines, else also the texts
// wrapped between their words (never inside one). The table then gets what its columns and lines ask for,
// and the charts the rest, keeping their minimum; the charts take what the window gains when it grows. Under
// charts (the use view), the charts first get the height the names of their bars need, the table keeping at
// least its header and four lines. Done again when the figures or the window's size change; the share stays
// the user's once he has moved the handle between them.
class StatisticsViewFit : public QObject
{
    Q_OBJECT
public:
    // graphes: the splitter's second widget, which holds the panel.
    StatisticsViewFit(QSplitter *separation, QTableView *table, TwoLineHeaderModel *entetes, QWidget *graphes,
                      StatisticsChartPanel *panneau, QObject *parent = nullptr);

    // Fits the columns and shares the room again (after new figures: the table's size has changed).
    void ajuster();

    // The lines a table under its charts shows at least, when the room allows.
    static constexpr int lignesMinimales = 4;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The size the table asks for along the splitter: its columns' width, or its lines' height.
    int tailleVoulue() const;
    int place() const;
    int minimumDesGraphes() const;
    // What the charts need along the splitter: their minimum, and under the table the height for their names.
    int besoinDesGraphes() const;
    int largeurDesColonnes() const;
    void ajusterColonnes(int largeur);
    void couperLesTextes();

    QPointer<QSplitter> m_separation;
    QPointer<QTableView> m_table;
    QPointer<TwoLineHeaderModel> m_entetes;
    QPointer<QWidget> m_graphes;
    QPointer<StatisticsChartPanel> m_panneau;
    bool m_choisi = false;
    bool m_enCours = false;
};

} // namespace statistics
