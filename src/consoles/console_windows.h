#pragma once

#include "consoles/packet_dump.h"
#include "consoles/terminal_buffer.h"

#include <QTime>
#include <QTimer>
#include <QWidget>

class QCheckBox;
class QLabel;
class QPlainTextEdit;

namespace tunekit {

// frmTerminal: the raw text on the line, refreshed at most every 50 ms.
class TerminalWindow final : public QWidget {
    Q_OBJECT
public:
    explicit TerminalWindow(QWidget* owner);
    void AddToTerminal(const QByteArray& text);
    void Clear(); // txtTerminal_DblClick
    void Retranslate();
    const TerminalBuffer& Buffer() const noexcept { return buffer_; }

private:
    void Refresh();

    TerminalBuffer buffer_;
    QPlainTextEdit* txtTerminal;
    QTimer tmrUpdate;
};

// frmContact: the decoded packets, newest on top, and the second reset switch.
class ContactWindow final : public QWidget {
    Q_OBJECT
public:
    explicit ContactWindow(QWidget* owner);
    void AddContactDump(const QByteArray& packet, const QString& direction, QTime now);
    void ClearLog();
    void SetCheck01(bool ticked);
    void SetHintVisible(bool visible);
    void Retranslate();
    const PacketDump& Log() const noexcept { return log_; }

signals:
    void Check01Toggled(bool ticked);

private:
    void Refresh();

    PacketDump log_;
    QPlainTextEdit* txtLog;
    QCheckBox* check01;
    QLabel* Label1;
    QTimer refresh_;
};

} // namespace tunekit
