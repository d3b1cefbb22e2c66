// The system's mount table: /proc/self/mountinfo, with labels from /dev/disk/by-label and the
// removable mark from /sys/class/block. Every path is read below a root folder ("/" for the
// system; tests build a small tree of fixture files). Only mount points that are folders
// are listed (a bind-mounted file is no volume).
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include "platform/shell/volumesource.h"

class MountTable : public VolumeSource {
public:
    explicit MountTable(QString root = QStringLiteral("/"));
    ~MountTable() override;
    MountTable(const MountTable&) = delete;
    MountTable& operator=(const MountTable&) = delete;

    std::vector<Volume> mounts() override;
    // Wakes when the kernel reports a change of the table (poll priority event), at `limit`,
    // or when wakeFd is readable.
    void waitForChange(std::chrono::milliseconds limit, int wakeFd) override;

    // The lines of a mountinfo text as volumes, without labels or removable marks. Lines that
    // do not have the mountinfo shape are passed over.
    static std::vector<Volume> parse(const QByteArray& mountinfo);
    // "\040" and the other octal escapes of the mount table
    static QString unescapeOctal(const QByteArray& field);
    // "\x20" and the other hex escapes of udev's link names
    static QString unescapeHex(const QString& name);

private:
    QString at(const QString& absolute) const;  // the path below the root
    QHash<QString, QString> labels() const;     // device (resolved) -> label
    bool removable(const QString& device) const;
    QString resolved(const QString& device) const;

    QString root_;
    int changeFd_ = -1;  // mountinfo kept open for its change events (waiting thread only)
};
