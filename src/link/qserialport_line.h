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

    bool open(int portNumber) override;
    void close() override;
    bool isOpen() const override { return port_.isOpen(); }
    void setDtr(bool on) override;
    void setRts(bool on) override;
    bool write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    QString portName() const override { return port_.portName(); }
    OpenFailure lastOpenFailure() const override { return openFailure_; }
    QString openErrorText() const override { return openErrorText_; }
    QString accessGroup() const override { return accessGroup_; }

private:
    void onError(QSerialPort::SerialPortError error);

    PortNameMapper mapper_;
    QSerialPort port_;
    OpenFailure openFailure_ = OpenFailure::None;
    QString openErrorText_;
    QString accessGroup_;
};

} // namespace tunekit
