#include "slcan/PseudoTerminal.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {
QString systemError(const char *what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(strerror(errno)));
}
} // namespace

bool PseudoTerminal::open(QString *error)
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_master < 0) {
        *error = systemError("posix_openpt");
        return false;
    }
    const char *name = nullptr;
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0 || !(name = ptsname(m_master))) {
        *error = systemError("pseudo-terminal");
        hangUp();
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(name);
    const int slave = ::open(name, O_RDWR | O_NOCTTY);
    termios tio;
    const bool raw = slave >= 0 && tcgetattr(slave, &tio) == 0
        && (cfmakeraw(&tio), tcsetattr(slave, TCSANOW, &tio) == 0);
    if (!raw) {
        *error = systemError("raw mode");
        if (slave >= 0)
            ::close(slave);
        hangUp();
        return false;
    }
    ::close(slave); // the settings stay with the terminal
    return true;
}

bool PseudoTerminal::hostAbsent() const
{
    // Once a slave was closed, the master reports a hang-up until the next open.
    pollfd p{m_master, 0, 0};
    return m_master < 0 || (::poll(&p, 1, 0) == 1 && (p.revents & POLLHUP));
}

void PseudoTerminal::discardUnread()
{
    const int slave = ::open(m_slavePath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slave < 0)
        return;
    tcflush(slave, TCIFLUSH);
    ::close(slave);
}

void PseudoTerminal::hangUp()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

bool PseudoTerminal::makeLink(const QString &link, const QString &target, QString *error)
{
    const QByteArray path = QFile::encodeName(link);
    struct stat st;
    if (lstat(path.constData(), &st) == 0) {
        struct stat pointed;
        if (!S_ISLNK(st.st_mode) || stat(path.constData(), &pointed) == 0) {
            *error = QStringLiteral("%1 already exists").arg(link);
            return false;
        }
        ::unlink(path.constData()); // dangling: left by a bridge that is gone
    }
    if (symlink(QFile::encodeName(target).constData(), path.constData()) != 0) {
        *error = QStringLiteral("%1: %2").arg(link, QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    return true;
}

void PseudoTerminal::removeLink(const QString &link, const QString &target)
{
    const QByteArray path = QFile::encodeName(link);
    char pointed[PATH_MAX];
    const ssize_t n = readlink(path.constData(), pointed, sizeof pointed);
    if (n > 0 && QByteArray(pointed, int(n)) == QFile::encodeName(target))
        ::unlink(path.constData());
}
