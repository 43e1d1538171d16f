#include "FormHost.h"

#include <QLayout>
#include <QVBoxLayout>

namespace framework
{

FormHost::FormHost(QWidget *hote)
{
    if (!hote) {
        m_fenetrePropre = std::make_unique<QWidget>();
        auto *rangee = new QVBoxLayout(m_fenetrePropre.get());
        rangee->setContentsMargins(0, 0, 0, 0);
        m_racine = new QWidget(m_fenetrePropre.get());
        rangee->addWidget(m_racine);
        return;
    }
    m_racine = new QWidget(hote);
    // Until the widget that shows it takes it in: a child of a widget that is not shown yet would appear
    // with it, on top of its contents.
    m_racine->hide();
}

FormHost::~FormHost() = default;

void FormHost::placer(QWidget *partie, QWidget *hote) const
{
    if (!partie || !hote)
        return;
    partie->setParent(hote);
    partie->hide();
    if (m_racine && m_racine->layout())
        m_racine->layout()->setContentsMargins(0, 0, 0, 0);
}

} // namespace framework
