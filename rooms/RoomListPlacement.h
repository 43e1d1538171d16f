#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <functional>

class QWidget;

namespace rooms
{

// Where the result window opens, and its place and size remembered from one session to the next (the
// user default "ListeSallesFenetre"). The first time, it opens beside the main window where the screen has
// room for it, else over the right part of the form, below the button bar: never over the buttons and the
// location fields the user works with.
class RoomListPlacement : public QObject
{
    Q_OBJECT
public:
    static const QString cleDefaults; // "ListeSallesFenetre"

    // fenetre: the result window; barreBoutons: the tab's button bar, where it is shown.
    RoomListPlacement(QWidget *fenetre, QWidget *barreBoutons, QObject *parent = nullptr);

    // Places the window before it is shown: the place it had this session, else the one remembered, else
    // the one computed. tailleVoulue is the size its contents ask for.
    void placer(const QSize &tailleVoulue);

    // The frame of the result window, all rectangles in screen coordinates: principale the main window's
    // frame, ecran the available area of its screen, barre the button bar (may be empty), taille the frame
    // size the window asks for.
    static QRect calculer(const QRect &principale, const QRect &ecran, const QRect &barre,
                          const QSize &taille);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void retenir();
    static bool visibleSurUnEcran(const QRect &rect);

    QPointer<QWidget> m_fenetre;
    QPointer<QWidget> m_barre;
    bool m_placee = false;
};

} // namespace rooms
