#include "KORReportProgress.h"

#include <QApplication>
#include <QProgressDialog>

namespace framework
{

KORReportProgress::KORReportProgress(const QString &label, QWidget *parent)
    : m_dialog(std::make_unique<QProgressDialog>(label, QStringLiteral("Annuler"), 0, 1, parent))
{
    m_dialog->setWindowTitle(QStringLiteral("Impression"));
    m_dialog->setWindowModality(Qt::ApplicationModal);
    m_dialog->setMinimumDuration(delayMilliseconds);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setValue(0);
}

KORReportProgress::~KORReportProgress()
{
    m_dialog->close();
}

KORReport::Progress KORReportProgress::callback()
{
    return [this](int done, int total) {
        if (m_dialog->maximum() != total)
            m_dialog->setMaximum(total);
        // A modal progress dialog handles the waiting events as its value changes: the "Annuler" button
        // answers between two steps.
        m_dialog->setValue(std::min(done, total));
        return !m_dialog->wasCanceled();
    };
}

bool KORReportProgress::wasCancelled() const
{
    return m_dialog->wasCanceled();
}

QProgressDialog *KORReportProgress::dialog() const
{
    return m_dialog.get();
}

} // namespace framework
