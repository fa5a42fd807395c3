#include "link/qserialport_line.h"

#include "host/port_names.h"

#include <QFileInfo>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace tunekit {

QSerialPortLine::QSerialPortLine(PortNameMapper mapper) : mapper_(std::move(mapper))
{
    if (!mapper_)
        mapper_ = systemPortName;
    QObject::connect(&port_, &QSerialPort::readyRead, &port_, [this] { notify(Event::DataReceived); });
    QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                     [this](QSerialPort::SerialPortError error) { onError(error); });
}

QSerialPortLine::~QSerialPortLine()
{
    setListener({});
    port_.close();
}

bool QSerialPortLine::open(int portNumber)
{
    if (port_.isOpen())
        port_.close();
    port_.setPortName(mapper_(portNumber));
    port_.setBaudRate(QSerialPort::Baud38400);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    openFailure_ = OpenFailure::None;
    openErrorText_.clear();
    accessGroup_.clear();
    if (!port_.open(QIODevice::ReadWrite)) {
        openErrorText_ = port_.errorString();
        switch (port_.error()) {
        case QSerialPort::DeviceNotFoundError: openFailure_ = OpenFailure::NotFound; break;
        case QSerialPort::OpenError: openFailure_ = OpenFailure::InUse; break;
        case QSerialPort::PermissionError: {
#ifdef _WIN32
            // Windows denies access to a port that another program holds.
            openFailure_ = OpenFailure::InUse;
#else
            // The same error stands for a missing right and for a port locked by another
            // program; the device file's own rights tell them apart.
            const QString path = port_.portName().startsWith(QLatin1Char('/'))
                                     ? port_.portName()
                                     : QStringLiteral("/dev/") + port_.portName();
            const QByteArray native = QFileInfo(path).absoluteFilePath().toLocal8Bit();
            openFailure_ = ::access(native.constData(), R_OK | W_OK) != 0 ? OpenFailure::NoPermission
                                                                           : OpenFailure::InUse;
            // Joining the file's group helps only when the group may read and write it.
            const QFileInfo file(path);
            if (file.permissions().testFlags(QFileDevice::ReadGroup | QFileDevice::WriteGroup))
                accessGroup_ = file.group();
#endif
            break;
        }
        default: openFailure_ = OpenFailure::Other; break;
        }
        port_.clearError();
        return false;
    }
    // A pseudo-terminal has no modem lines; the port still works without them.
    port_.setRequestToSend(true);
    port_.setDataTerminalReady(true);
    port_.clearError();
    return true;
}

void QSerialPortLine::close()
{
    if (port_.isOpen())
        port_.close();
}

void QSerialPortLine::setDtr(bool on)
{
    if (port_.isOpen()) {
        port_.setDataTerminalReady(on);
        port_.clearError();
    }
}

void QSerialPortLine::setRts(bool on)
{
    if (port_.isOpen()) {
        port_.setRequestToSend(on);
        port_.clearError();
    }
}

bool QSerialPortLine::write(const QByteArray& bytes)
{
    if (!port_.isOpen() || port_.write(bytes) != bytes.size())
        return false;
    // Out now rather than on the next turn of the event loop: the answer comes sooner.
    port_.flush();
    return true;
}

QByteArray QSerialPortLine::readAll()
{
    return port_.isOpen() ? port_.readAll() : QByteArray();
}

void QSerialPortLine::onError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::ResourceError:
    case QSerialPort::WriteError:
    case QSerialPort::ReadError:
        // The adapter is gone (unplugged, or the far end of the line closed). Close at
        // once: an open port in this state reports the same error again and again.
        if (port_.isOpen()) {
            port_.close();
            notify(Event::PortLost);
        }
        break;
    default:
        break;
    }
}

} // namespace tunekit
