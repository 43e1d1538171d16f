#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

class QIODevice;

namespace platform
{

// Writing the files the user asks for: either the whole file is in place, or nothing changed at its path.
//
// The bytes go to a hidden temporary file beside the chosen one; every write, the last flush and the close
// are checked, the file is synced to the disk, renamed over the chosen path, and the folder synced. Any
// failure removes the temporary file and leaves a file that was at the path as it was. Failures come back
// as a French reason saying what happened and what to do; the system's own text goes to the log.
//
//     FileWriter file(path);
//     if (!file.open()) ... file.errorString();
//     QPdfWriter pdf(file.device());          // or a library writing file.temporaryPath() by name
//     ...
//     if (!file.commit()) ... file.errorString();
class FileWriter
{
public:
    explicit FileWriter(const QString &path);
    // Without a commit, the temporary file goes and the chosen path stays as it was.
    ~FileWriter();
    FileWriter(const FileWriter &) = delete;
    FileWriter &operator=(const FileWriter &) = delete;

    // Makes the temporary file beside the chosen one (beside the file a symbolic link leads to).
    bool open();
    // Where a Qt writer puts the bytes (QPdfWriter, QImage::save, a text). The first write that fails is
    // kept: later ones are refused and the commit fails.
    QIODevice *device() const;
    // For a library that opens the file by name and writes it from its start (libxlsxwriter); the bytes
    // written there go through the same sync and rename. After it, device() takes no more bytes.
    QString temporaryPath();
    // Puts the file in place: false, with the reason, when a byte did not reach the disk.
    bool commit();

    // Whether a write to device() has already failed.
    bool failed() const;
    // Why it failed, in French, ending with what to do.
    QString errorString() const;
    // The file put in place: the chosen path, or the file a symbolic link there leads to.
    const QString &targetPath() const { return m_target; }

    // The text in Windows-1252, the 8-bit encoding that the department's spreadsheets and editors read;
    // a character it cannot hold becomes "?".
    static QByteArray windows1252(const QString &text);
    // Writes the bytes whole in place of path; on failure nothing changed and error receives the reason.
    static bool writeAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);
    // What a system error (errno) met while writing into folder means for the user, in French, with what to
    // do: a full disk, an exhausted quota, a folder refusing files...
    static QString reason(int systemError, const QString &folder);
    // A reason as the first sentence of an alert's second paragraph.
    static QString sentence(const QString &reason);

private:
    class Device;

    bool fail(int systemError, const char *step, bool creating = false);
    QString describe(int systemError, bool creating) const;
    void discard();

    QString m_path;
    QString m_target;
    QString m_temporary;
    QString m_error;
    bool m_existed = false;
    bool m_handedOver = false;
    bool m_committed = false;
    std::unique_ptr<Device> m_device;
};

} // namespace platform
