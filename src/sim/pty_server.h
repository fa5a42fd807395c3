#pragma once

#include "sim/sim_device.h"
#include "sim/sim_link.h"
#include "sim/sim_switches.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QSocketNotifier;

namespace tunekit {

// Serves the simulated transmitter on a pseudo-terminal in real time, so the program's real
// serial port code can talk to it by opening slavePath(). Runs in the caller's event loop: a
// test can keep it in its own process, tunekit-sim wraps it as a program. A pseudo-terminal has
// no DTR line, so the device cannot be reset through it.
class PtyServer final : public QObject {
    Q_OBJECT
public:
    explicit PtyServer(int configId = SimDevice::DefaultConfigId, QObject* parent = nullptr);
    // The transmitter and its line as the switches set them up.
    explicit PtyServer(const SimSwitches& switches, QObject* parent = nullptr);
    ~PtyServer() override;

    // Opens the pseudo-terminal. False, with errorText() set, when the system refuses.
    bool start();
    // Closes it; answers still on their way are dropped.
    void stop();
    bool isRunning() const noexcept { return masterFd_ >= 0; }

    // The device file a client opens, such as "/dev/pts/3"; empty until started.
    QString slavePath() const { return slavePath_; }
    QString errorText() const { return errorText_; }

    SimDevice& device() noexcept { return device_; }
    SimLink& link() noexcept { return link_; }
    SimFaults& faults() noexcept { return link_.faults(); }

private:
    void readRequests();
    void sendAnswer(quint64 generation, const QByteArray& bytes);
    bool fail(const QString& what);
    qint64 nowUs() const { return elapsed_.nsecsElapsed() / 1000; }

    SimDevice device_;
    SimLink link_;
    QElapsedTimer elapsed_;
    int masterFd_ = -1;
    // Kept open by the server so that the master does not report EIO (and wake us in a loop)
    // while no client has the slave open.
    int slaveFd_ = -1;
    QSocketNotifier* reader_ = nullptr;
    QString slavePath_;
    QString errorText_;
    quint64 generation_ = 0;
};

} // namespace tunekit
