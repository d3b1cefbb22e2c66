#include "platform/shell/mounttable.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

MountTable::MountTable(QString root) : root_(std::move(root))
{
    while (root_.size() > 1 && root_.endsWith(QLatin1Char('/'))) root_.chop(1);
}

MountTable::~MountTable()
{
    if (changeFd_ >= 0) ::close(changeFd_);
}

QString MountTable::at(const QString& absolute) const
{
    return root_ == QLatin1String("/") ? absolute : root_ + absolute;
}

QString MountTable::unescapeOctal(const QByteArray& field)
{
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (c == '\\' && i + 3 < field.size()) {
            const QByteArray digits = field.mid(i + 1, 3);
            bool ok = digits.size() == 3;
            for (char d : digits) ok = ok && d >= '0' && d <= '7';
            if (ok) {
                out.append(char(digits.toInt(nullptr, 8)));
                i += 3;
                continue;
            }
        }
        out.append(c);
    }
    return QFile::decodeName(out);
}

QString MountTable::unescapeHex(const QString& name)
{
    QByteArray bytes = QFile::encodeName(name);
    QByteArray out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\\' && i + 3 < bytes.size() && bytes[i + 1] == 'x') {
            bool ok = false;
            const int v = bytes.mid(i + 2, 2).toInt(&ok, 16);
            if (ok) {
                out.append(char(v));
                i += 3;
                continue;
            }
        }
        out.append(bytes[i]);
    }
    return QString::fromUtf8(out);
}

std::vector<Volume> MountTable::parse(const QByteArray& mountinfo)
{
    // id parent major:minor root mountpoint options [optional fields] - fstype source superoptions
    std::vector<Volume> out;
    for (const QByteArray& line : mountinfo.split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        const qsizetype dash = f.indexOf(QByteArray("-"));
        if (dash < 6 || dash + 2 >= f.size()) continue;
        Volume v;
        v.mountPoint = unescapeOctal(f[4]);
        v.fsType = unescapeOctal(f[dash + 1]);
        v.device = unescapeOctal(f[dash + 2]);
        out.push_back(std::move(v));
    }
    return out;
}

QString MountTable::resolved(const QString& device) const
{
    if (!device.startsWith(QLatin1Char('/'))) return device;
    const QString real = QFileInfo(at(device)).canonicalFilePath();
    if (real.isEmpty()) return device;
    return root_ == QLatin1String("/") ? real : real.mid(root_.size());
}

QHash<QString, QString> MountTable::labels() const
{
    QHash<QString, QString> out;
    const QDir byLabel(at(QStringLiteral("/dev/disk/by-label")));
    for (const QFileInfo& link : byLabel.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        QString target = link.canonicalFilePath();
        if (target.isEmpty()) continue;
        if (root_ != QLatin1String("/")) target = target.mid(root_.size());
        out.insert(target, unescapeHex(link.fileName()));
    }
    return out;
}

bool MountTable::removable(const QString& device) const
{
    if (!device.startsWith(QLatin1String("/dev/"))) return false;
    const QString block = at(QStringLiteral("/sys/class/block/") + QFileInfo(device).fileName());
    QFile own(block + QStringLiteral("/removable"));
    if (!own.exists()) {
        // a partition: the mark sits on its disk, the folder above it
        const QString real = QFileInfo(block).canonicalFilePath();
        if (real.isEmpty()) return false;
        own.setFileName(QFileInfo(real).path() + QStringLiteral("/removable"));
    }
    if (!own.open(QIODevice::ReadOnly)) return false;
    return own.readAll().trimmed() == "1";
}

std::vector<Volume> MountTable::mounts()
{
    QFile file(at(QStringLiteral("/proc/self/mountinfo")));
    if (!file.open(QIODevice::ReadOnly)) return {};
    std::vector<Volume> all = parse(file.readAll());
    const QHash<QString, QString> byDevice = labels();
    std::vector<Volume> out;
    out.reserve(all.size());
    for (Volume& v : all) {
        if (!QFileInfo(at(v.mountPoint)).isDir()) continue;
        const QString dev = resolved(v.device);
        v.label = byDevice.value(dev);
        v.removable = removable(dev);
        out.push_back(std::move(v));
    }
    return out;
}

void MountTable::waitForChange(std::chrono::milliseconds limit, int wakeFd)
{
    if (changeFd_ < 0) changeFd_ = ::open(QFile::encodeName(at(QStringLiteral("/proc/self/mountinfo"))).constData(),
                                          O_RDONLY | O_CLOEXEC);
    pollfd fds[2] = {{changeFd_, POLLPRI, 0}, {wakeFd, POLLIN, 0}};
    // a regular file (a fixture) is always "ready": only the time limit paces it then
    const bool realTable = changeFd_ >= 0 && root_ == QLatin1String("/");
    if (!realTable) fds[0].fd = -1;
    ::poll(fds, 2, int(limit.count()));
}
