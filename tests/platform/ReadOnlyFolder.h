// A folder in which nothing can be created, renamed or removed, for tests of failed saves. Permissions
// alone do not stop root, so the folder is also marked immutable where the file system allows it.
#pragma once
#include <QDir>
#include <QFile>
#include <QString>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& Path) : FPath(Path) {
        QFile::setPermissions(FPath, QFile::ReadOwner | QFile::ExeOwner);
        if (!Locked()) SetImmutable(true);
    }
    ~ReadOnlyFolder() {
        SetImmutable(false);
        QFile::setPermissions(FPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    // Whether creating a file there really fails (the test cannot go on otherwise).
    bool Locked() const {
        QFile probe(FPath + "/.probe");
        if (!probe.open(QIODevice::WriteOnly)) return true;
        probe.close();
        probe.remove();
        return false;
    }

private:
    void SetImmutable(bool On) {
        const int fd = ::open(QFile::encodeName(FPath).constData(), O_RDONLY | O_DIRECTORY);
        if (fd < 0) return;
        int flags = 0;
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = On ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        ::close(fd);
    }

    QString FPath;
};
