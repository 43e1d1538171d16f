#pragma once

#include <QString>

namespace platform
{

// A log file that keeps its size bounded: once a line would take it past its size, it becomes <file>.1 (the
// older ones moving up to <file>.2, ...) and a new file begins; the oldest beyond the number of files is
// deleted. Each line is appended with the file opened for that line alone, so that several programs may
// share the file, and a lock file keeps two of them from rotating at once.
class LogFile
{
public:
    static constexpr qint64 DefaultMaximumSize = 1024 * 1024;
    static constexpr int DefaultFileCount = 3;

    explicit LogFile(QString path, qint64 maximumSize = DefaultMaximumSize, int fileCount = DefaultFileCount);

    // ${XDG_STATE_HOME:-~/.local/state}/Locavia/locavia.log
    static QString defaultPath();

    const QString &path() const { return m_path; }
    // The file that holds the generation-th older lines: path() for 0, path().1 for 1, and so on.
    QString generation(int generation) const;
    // Appends one line (its end of line added); false when the file cannot be written.
    bool append(const QString &line);

private:
    void rotate();

    QString m_path;
    qint64 m_maximumSize;
    int m_fileCount;
};

} // namespace platform
