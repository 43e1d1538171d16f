#pragma once

#include "KORReport.h"

#include <QString>
#include <memory>

class QProgressDialog;
class QWidget;

namespace framework
{

// The progress of a report being printed, in a dialog that appears only when the printing lasts longer
// than a second, and whose "Annuler" button stops it.
class KORReportProgress
{
public:
    explicit KORReportProgress(const QString &label, QWidget *parent = nullptr);
    ~KORReportProgress();
    KORReportProgress(const KORReportProgress &) = delete;
    KORReportProgress &operator=(const KORReportProgress &) = delete;

    // What the report tells its progress to; answers false once the user has cancelled.
    KORReport::Progress callback();
    bool wasCancelled() const;
    QProgressDialog *dialog() const;

    // How long the printing runs before the dialog shows.
    static constexpr int delayMilliseconds = 1000;

private:
    std::unique_ptr<QProgressDialog> m_dialog;
};

} // namespace framework
