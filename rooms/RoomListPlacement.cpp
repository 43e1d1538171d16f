#include "RoomListPlacement.h"

#include "KORApplicationOC.h"
#include "UserDefaults.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace rooms
{

namespace
{

constexpr int ecart = 8;

platform::UserDefaults &defaults()
{
    if (auto *application = framework::KORApplicationOC::instance())
        return application->userDefaults();
    // Without the application object (tests, tools), the same settings through a defaults object of our own.
    static platform::UserDefaults propres(QCoreApplication::arguments());
    return propres;
}

} // namespace

const QString RoomListPlacement::cleDefaults = QStringLiteral("ListeSallesFenetre");

RoomListPlacement::RoomListPlacement(QWidget *fenetre, QWidget *barreBoutons, QObject *parent)
    : QObject(parent), m_fenetre(fenetre), m_barre(barreBoutons)
{
    if (m_fenetre)
        m_fenetre->installEventFilter(this);
}

QRect RoomListPlacement::calculer(const QRect &principale, const QRect &ecran, const QRect &barre,
                                  const QSize &taille)
{
    const int largeur = std::min(taille.width(), ecran.width());
    const int hauteur = std::min(taille.height(), ecran.height());
    const int haut = std::clamp(principale.top(), ecran.top(), ecran.bottom() - hauteur + 1);

    // Beside the main window, on the side with room for the whole window, the right side first.
    if (ecran.right() - principale.right() >= largeur)
        return {principale.right() + 1, haut, largeur, hauteur};
    if (principale.left() - ecran.left() >= largeur)
        return {principale.left() - largeur, haut, largeur, hauteur};

    // Over the right part of the form, below the button bar (and the menus and tabs above it).
    const QRect visible = principale.intersected(ecran);
    const int sousLaBarre = barre.isEmpty() ? visible.top() : barre.bottom() + 1 + ecart;
    const int top = std::max(sousLaBarre, ecran.top());
    const int bas = visible.isEmpty() ? ecran.bottom() : visible.bottom();
    const int h = std::max(1, std::min(hauteur, bas - top + 1));
    const int droite = visible.isEmpty() ? ecran.right() : visible.right() - ecart;
    const int w = std::min(largeur, std::max(1, droite - ecran.left() + 1));
    return {droite - w + 1, top, w, h};
}

bool RoomListPlacement::visibleSurUnEcran(const QRect &rect)
{
    // Enough of its title bar on a screen of today to be taken and moved: a screen unplugged since leaves
    // it nowhere.
    const QRect titre(rect.topLeft(), QSize(rect.width(), 24));
    for (const QScreen *ecran : QGuiApplication::screens()) {
        const QRect commun = ecran->availableGeometry().intersected(titre);
        if (commun.width() >= std::min(100, rect.width()) && commun.height() >= 8)
            return true;
    }
    return false;
}

void RoomListPlacement::placer(const QSize &tailleVoulue)
{
    if (!m_fenetre || m_placee)
        return; // this session's place stands: Qt keeps it while the window is closed
    m_placee = true;

    const QRect retenue = defaults().objectForKey(cleDefaults).toRect();
    if (retenue.isValid() && visibleSurUnEcran(retenue)) {
        m_fenetre->resize(retenue.size());
        m_fenetre->move(retenue.topLeft());
        return;
    }

    QWidget *principale = m_fenetre->parentWidget() ? m_fenetre->parentWidget()->window() : nullptr;
    const QScreen *ecran =
        principale && principale->screen() ? principale->screen() : QGuiApplication::primaryScreen();
    if (!ecran || !principale || !principale->isVisible()) {
        m_fenetre->resize(tailleVoulue);
        return;
    }
    // The window's frame is not known before it is shown: the main window's stands for it.
    const QMargins cadre(principale->geometry().left() - principale->frameGeometry().left(),
                         principale->geometry().top() - principale->frameGeometry().top(),
                         principale->frameGeometry().right() - principale->geometry().right(),
                         principale->frameGeometry().bottom() - principale->geometry().bottom());
    const QSize taille = tailleVoulue.grownBy(cadre);
    QRect barre;
    if (m_barre && m_barre->isVisible() && m_barre->window() == principale)
        barre = QRect(m_barre->mapToGlobal(QPoint(0, 0)), m_barre->size());
    const QRect place = calculer(principale->frameGeometry(), ecran->availableGeometry(), barre, taille);
    m_fenetre->resize(place.size().shrunkBy(cadre));
    m_fenetre->move(place.topLeft());
}

void RoomListPlacement::retenir()
{
    if (!m_fenetre)
        return;
    defaults().setObject(QRect(m_fenetre->pos(), m_fenetre->size()), cleDefaults);
}

bool RoomListPlacement::eventFilter(QObject *watched, QEvent *event)
{
    // Remembered as the user leaves it: when it is closed or hidden, and at each move and resize while shown.
    if (watched == m_fenetre) {
        switch (event->type()) {
        case QEvent::Hide:
        case QEvent::Close:
            retenir();
            break;
        case QEvent::Move:
        case QEvent::Resize:
            if (m_fenetre->isVisible())
                retenir();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace rooms
