#pragma once

#include "link/serial_line.h"

#include <QSerialPort>

#include <functional>

namespace tunekit {

// The real line: a QSerialPort at 38400 baud, 8N1. Port numbers become system names
// through the given mapping (the host's naming by default; tests map to a pseudo-terminal).
class QSerialPortLine final : public SerialLine {
public:
    using PortNameMapper = std::function<QString(int)>;

    explicit QSerialPortLine(PortNameMapper mapper = {});
    ~QSerialPortLine() override;

    bool Open(int portNumber) override;
    void Close() override;
    bool IsOpen() const override { return port_.isOpen(); }
    void SetDtr(bool on) override;
    void SetRts(bool on) override;
    bool Write(const QByteArray& bytes) override;
    QByteArray ReadAll() override;
    QString PortName() const override { return port_.portName(); }
    OpenFailure LastOpenFailure() const override { return openFailure_; }
    QString OpenErrorText() const override { return openErrorText_; }

private:
    void OnError(QSerialPort::SerialPortError error);

    PortNameMapper mapper_;
    QSerialPort port_;
    OpenFailure openFailure_ = OpenFailure::None;
    QString openErrorText_;
};

} // namespace tunekit
