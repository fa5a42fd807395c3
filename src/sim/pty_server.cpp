#include "sim/pty_server.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace tunekit {

PtyServer::PtyServer(int configId, QObject* parent)
    : QObject(parent)
    , device_(configId)
    , link_(device_)
{
    elapsed_.start();
}

PtyServer::PtyServer(const SimSwitches& switches, QObject* parent) : PtyServer(switches.configId, parent)
{
    switches.setUp(device_);
    link_.faults() = switches.faults;
}

PtyServer::~PtyServer()
{
    stop();
}

#ifdef Q_OS_UNIX

bool PtyServer::start()
{
    if (isRunning())
        return true;
    errorText_.clear();
    masterFd_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (masterFd_ < 0)
        return fail(QStringLiteral("posix_openpt"));
    if (::grantpt(masterFd_) != 0 || ::unlockpt(masterFd_) != 0)
        return fail(QStringLiteral("grantpt"));
#ifdef Q_OS_LINUX
    char name[256] = {};
    if (::ptsname_r(masterFd_, name, sizeof name) != 0)
        return fail(QStringLiteral("ptsname"));
#else
    const char* name = ::ptsname(masterFd_);
    if (name == nullptr)
        return fail(QStringLiteral("ptsname"));
#endif
    slavePath_ = QString::fromLocal8Bit(name);
    slaveFd_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slaveFd_ < 0)
        return fail(slavePath_);

    // Raw 8N1 at 38400 from the start, so nothing is echoed or translated before a client
    // applies its own settings.
    termios settings{};
    if (::tcgetattr(slaveFd_, &settings) != 0)
        return fail(QStringLiteral("tcgetattr"));
    ::cfmakeraw(&settings);
    ::cfsetispeed(&settings, B38400);
    ::cfsetospeed(&settings, B38400);
    if (::tcsetattr(slaveFd_, TCSANOW, &settings) != 0)
        return fail(QStringLiteral("tcsetattr"));

    const int flags = ::fcntl(masterFd_, F_GETFL);
    if (flags < 0 || ::fcntl(masterFd_, F_SETFL, flags | O_NONBLOCK) != 0
        || ::fcntl(masterFd_, F_SETFD, FD_CLOEXEC) != 0)
        return fail(QStringLiteral("fcntl"));

    reader_ = new QSocketNotifier(static_cast<qintptr>(masterFd_), QSocketNotifier::Read, this);
    connect(reader_, &QSocketNotifier::activated, this, [this] { readRequests(); });
    return true;
}

void PtyServer::stop()
{
    ++generation_;
    delete reader_; // before its descriptor goes
    reader_ = nullptr;
    if (slaveFd_ >= 0)
        ::close(slaveFd_);
    if (masterFd_ >= 0)
        ::close(masterFd_);
    slaveFd_ = -1;
    masterFd_ = -1;
    slavePath_.clear();
}

bool PtyServer::fail(const QString& what)
{
    const int error = errno;
    stop();
    errorText_ = QCoreApplication::translate("PtyServer", "Cannot open a pseudo-terminal (%1: %2).")
                     .arg(what, QString::fromLocal8Bit(std::strerror(error)));
    return false;
}

void PtyServer::readRequests()
{
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(masterFd_, buffer, sizeof buffer);
        if (count > 0) {
            const qint64 now = nowUs();
            for (SimChunk& chunk : link_.feed(QByteArrayView(buffer, count), now)) {
                // The timer counts whole milliseconds: the nearest one, so the simulated line is
                // on average neither slower nor faster than the wire.
                const auto delayMs = static_cast<int>(qMax<qint64>(0, (chunk.atUs - now + 500) / 1000));
                QTimer::singleShot(delayMs, Qt::PreciseTimer, this,
                                   [this, generation = generation_, bytes = std::move(chunk.bytes)] {
                                       sendAnswer(generation, bytes);
                                   });
            }
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        // End of file or a lasting error: stop listening instead of being woken in a loop.
        reader_->setEnabled(false);
        return;
    }
}

void PtyServer::sendAnswer(quint64 generation, const QByteArray& bytes)
{
    if (generation != generation_ || masterFd_ < 0)
        return;
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t count = ::write(masterFd_, bytes.constData() + sent, static_cast<size_t>(bytes.size() - sent));
        if (count > 0)
            sent += count;
        else if (count < 0 && errno == EINTR)
            continue;
        else
            return; // nobody reads the line: the rest is lost, as on a real cable
    }
}

#else

bool PtyServer::start()
{
    errorText_ = QCoreApplication::translate("PtyServer", "Pseudo-terminals are not available on this system.");
    return false;
}

void PtyServer::stop()
{
    ++generation_;
}

bool PtyServer::fail(const QString&)
{
    return false;
}

void PtyServer::readRequests() {}

void PtyServer::sendAnswer(quint64, const QByteArray&) {}

#endif

} // namespace tunekit
