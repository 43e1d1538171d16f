#include "FileWriter.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform
{

namespace
{

// Bytes held back before they go to the disk: writers such as QPdfWriter hand over many small pieces.
constexpr qsizetype chunk = 64 * 1024;

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

void logFailure(const QString &path, const QString &step, int systemError)
{
    qWarning().noquote() << QStringLiteral(
                                ">>>>> Le fichier « %1 » n'a pas pu être écrit (%2) : %3 (errno %4)")
                                .arg(path, step, qt_error_string(systemError))
                                .arg(systemError);
}

// Whether an error of fsync means only that this file system has nothing to sync (a pipe, some network
// file systems): the bytes were already taken by the write.
bool syncUnsupported(int systemError)
{
    return systemError == EINVAL || systemError == ENOTSUP;
}

QString randomSuffix()
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString suffix;
    for (int i = 0; i < 6; ++i)
        suffix.append(QLatin1Char(letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)]));
    return suffix;
}

} // namespace

// The temporary file as a Qt device: the bytes are held back in chunks and each chunk's write is checked;
// the first failure is kept and every later write refused, since a file with a hole is worth nothing.
class FileWriter::Device : public QIODevice
{
public:
    Device(int descriptor, QString path, QString folder)
        : m_descriptor(descriptor), m_path(std::move(path)), m_folder(std::move(folder))
    {
        QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    ~Device() override
    {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
    }

    bool isSequential() const override { return true; }
    void close() override
    {
        drain();
        QIODevice::close();
    }

    int systemError() const { return m_systemError; }
    bool failed() const { return m_systemError != 0; }
    // The bytes held back go to the disk; false when it does not take them all.
    bool drain()
    {
        if (m_systemError)
            return false;
        qsizetype done = 0;
        while (done < m_pending.size()) {
            const ssize_t written =
                ::write(m_descriptor, m_pending.constData() + done, m_pending.size() - done);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0) {
                m_systemError = written < 0 ? errno : ENOSPC;
                logFailure(m_path, QStringLiteral("écriture"), m_systemError);
                setErrorString(FileWriter::reason(m_systemError, m_folder));
                m_pending.clear();
                return false;
            }
            done += written;
        }
        m_pending.clear();
        return true;
    }
    // Hands the descriptor over to the caller, who closes it.
    int release() { return std::exchange(m_descriptor, -1); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 length) override
    {
        if (m_systemError || m_descriptor < 0)
            return -1;
        m_pending.append(data, length);
        if (m_pending.size() >= chunk && !drain())
            return -1;
        return length;
    }

private:
    int m_descriptor;
    int m_systemError = 0;
    QString m_path;
    QString m_folder;
    QByteArray m_pending;
};

FileWriter::FileWriter(const QString &path) : m_path(path), m_target(path) {}

FileWriter::~FileWriter()
{
    if (!m_committed)
        discard();
}

QIODevice *FileWriter::device() const
{
    return m_device.get();
}

bool FileWriter::failed() const
{
    return !m_error.isEmpty() || (m_device && m_device->failed());
}

QString FileWriter::sentence(const QString &reason)
{
    return reason.isEmpty() ? reason : reason.left(1).toUpper() + reason.mid(1);
}

QString FileWriter::reason(int systemError, const QString &folder)
{
    const QString dossier = QDir::toNativeSeparators(folder);
    switch (systemError) {
    case ENOSPC:
        return QStringLiteral("le disque est plein : libérez de la place ou choisissez un autre dossier.");
    case EDQUOT:
        return QStringLiteral(
            "votre quota d'espace disque est atteint : libérez de la place ou choisissez un "
            "autre dossier.");
    case EFBIG:
        return QStringLiteral(
            "le fichier dépasse la taille que ce disque accepte : choisissez un autre dossier.");
    case EACCES:
    case EPERM:
        return QStringLiteral(
                   "vous n'avez pas le droit d'écrire dans le dossier « %1 » : choisissez un autre "
                   "dossier.")
            .arg(dossier);
    case EROFS:
        return QStringLiteral("le dossier « %1 » est sur un disque en lecture seule : choisissez un autre "
                              "dossier.")
            .arg(dossier);
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("le dossier « %1 » n'existe plus : choisissez un autre dossier.").arg(dossier);
    case ENAMETOOLONG:
        return QStringLiteral("le nom du fichier est trop long : choisissez un nom plus court.");
    default:
        return QStringLiteral(
            "le disque n'a pas enregistré le fichier (disque retiré, réseau coupé ou disque "
            "défaillant) : vérifiez qu'il est accessible, puis réessayez ou choisissez un "
            "autre dossier.");
    }
}

bool FileWriter::open()
{
    if (m_device || m_handedOver || m_committed) {
        m_error = QStringLiteral("le fichier est déjà ouvert.");
        return false;
    }
    m_error.clear();
    // A symbolic link keeps leading to the file: the file it leads to is the one replaced.
    const QFileInfo chosen(m_path);
    if (chosen.isSymLink() && !chosen.canonicalFilePath().isEmpty())
        m_target = chosen.canonicalFilePath();
    const QFileInfo target(m_target);
    const QString folder = target.absolutePath();
    if (target.fileName().isEmpty()) {
        m_error = QStringLiteral("aucun nom de fichier n'a été donné.");
        return false;
    }
    if (!QFileInfo(folder).isDir()) {
        m_error = QStringLiteral("le dossier « %1 » n'existe pas.").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    if (target.isDir()) {
        m_error = QStringLiteral("« %1 » est un dossier.").arg(target.fileName());
        return false;
    }
    m_existed = target.exists();
    m_target = target.absoluteFilePath();
    // A file protected against writing is not replaced behind that protection.
    if (m_existed && !target.isWritable()) {
        m_error = QStringLiteral("le fichier « %1 » est protégé contre l'écriture : choisissez un autre nom.")
                      .arg(target.fileName());
        return false;
    }

    // Hidden beside the chosen file, so that the rename stays within one file system; its name within
    // what a file system allows, however long the chosen one.
    int descriptor = -1;
    for (int attempt = 0; attempt < 100 && descriptor < 0; ++attempt) {
        m_temporary =
            QDir(folder).filePath(QStringLiteral(".%1.%2").arg(target.fileName().left(120), randomSuffix()));
        descriptor = ::open(native(m_temporary).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor < 0 && errno != EEXIST)
            break;
    }
    if (descriptor < 0) {
        const int error = errno;
        m_temporary.clear();
        return fail(error, "création", true);
    }
    m_device = std::make_unique<Device>(descriptor, m_target, folder);
    return true;
}

QString FileWriter::temporaryPath()
{
    if (m_device && !m_handedOver) {
        // The library writes the file from its start through a descriptor of its own.
        ::close(m_device->release());
        m_device.reset();
        m_handedOver = true;
    }
    return m_temporary;
}

QString FileWriter::describe(int systemError, bool creating) const
{
    const QString folder = QFileInfo(m_target).absolutePath();
    QString text;
    if (creating && systemError != ENOSPC && systemError != EDQUOT && systemError != ENAMETOOLONG) {
        QString cause;
        if (systemError == EACCES || systemError == EPERM)
            cause = QStringLiteral(" (vous n'avez pas le droit d'y écrire)");
        else if (systemError == EROFS)
            cause = QStringLiteral(" (il est sur un disque en lecture seule)");
        text = QStringLiteral("le dossier « %1 » n'accepte pas de nouveau fichier%2 : choisissez un autre "
                              "dossier.")
                   .arg(QDir::toNativeSeparators(folder), cause);
    } else {
        text = reason(systemError, folder);
    }
    if (m_existed)
        text += QStringLiteral(" Le fichier « %1 » qui s'y trouvait est resté tel quel.")
                    .arg(QFileInfo(m_target).fileName());
    return text;
}

QString FileWriter::errorString() const
{
    if (m_error.isEmpty() && m_device && m_device->failed())
        return describe(m_device->systemError(), false);
    return m_error;
}

bool FileWriter::fail(int systemError, const char *step, bool creating)
{
    if (step)
        logFailure(m_target, QString::fromUtf8(step), systemError);
    m_error = describe(systemError, creating);
    discard();
    return false;
}

void FileWriter::discard()
{
    m_device.reset();
    if (!m_temporary.isEmpty())
        ::unlink(native(m_temporary).constData());
    m_temporary.clear();
}

bool FileWriter::commit()
{
    if (m_committed)
        return true;
    if (m_temporary.isEmpty()) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("le fichier n'a pas été ouvert.");
        return false;
    }
    int descriptor = -1;
    if (m_handedOver) {
        descriptor = ::open(native(m_temporary).constData(), O_WRONLY | O_CLOEXEC);
        if (descriptor < 0)
            return fail(errno, "réouverture");
    } else {
        // Its failure was logged when it happened.
        if (!m_device->drain())
            return fail(m_device->systemError(), nullptr);
        descriptor = m_device->release();
        m_device.reset();
    }
    // The file that is replaced keeps its permissions; a new one has what the user's mask gives.
    struct stat before {
    };
    if (m_existed && ::stat(native(m_target).constData(), &before) == 0)
        ::fchmod(descriptor, before.st_mode & 07777);
    if (::fsync(descriptor) != 0 && !syncUnsupported(errno)) {
        const int error = errno;
        ::close(descriptor);
        return fail(error, "synchronisation");
    }
    // Some network file systems tell only at the close that the server refused the bytes.
    if (::close(descriptor) != 0 && errno != EINTR)
        return fail(errno, "fermeture");
    if (::rename(native(m_temporary).constData(), native(m_target).constData()) != 0)
        return fail(errno, "mise en place");
    m_temporary.clear();
    m_committed = true;

    // The rename itself lasts once the folder is synced. The file is in place whole by now: a folder that
    // cannot be synced is only noted.
    const int folder =
        ::open(native(QFileInfo(m_target).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        if (::fsync(folder) != 0 && !syncUnsupported(errno))
            logFailure(m_target, QStringLiteral("synchronisation du dossier"), errno);
        ::close(folder);
    }
    return true;
}

QByteArray FileWriter::windows1252(const QString &text)
{
    QStringEncoder encoder("windows-1252", QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    if (!encoder.hasError())
        return bytes;
    // Some character has no place in the encoding: each one is encoded alone, so that only it is replaced.
    bytes.clear();
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QStringEncoder single("windows-1252", QStringConverter::Flag::Stateless);
        const QByteArray piece = single.encode(QStringView(text).mid(i, length));
        bytes.append(single.hasError() || piece.isEmpty() ? QByteArray("?") : piece);
        i += length;
    }
    return bytes;
}

bool FileWriter::writeAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    FileWriter file(path);
    const bool written = file.open() && file.device()->write(bytes) == bytes.size() && file.commit();
    if (!written && error)
        *error = file.errorString();
    return written;
}

} // namespace platform
