#pragma once

#include "consoles/console_commands.h"
#include "consoles/packet_dump.h"
#include "consoles/terminal_buffer.h"

#include <QTime>
#include <QTimer>
#include <QWidget>

#include <array>
#include <optional>

class QGridLayout;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tunekit {

class PacketLogView;

// The terminal: the raw text on the line, refreshed at most every 50 ms. Keys typed into it go
// to the device; double-clicking clears it; closing it discards what it held.
class TerminalWindow final : public QWidget {
    Q_OBJECT
public:
    explicit TerminalWindow(QWidget* owner);
    void bind(const ConsoleCommands& commands) { commands_ = commands; }
    void append(const QByteArray& text);
    void clear();
    void retranslate();
    const TerminalBuffer& buffer() const noexcept { return buffer_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void refresh();

    TerminalBuffer buffer_;
    QPlainTextEdit* textBox_;
    QTimer refreshTimer_;
    std::optional<ConsoleCommands> commands_;
};

// The packet console: the decoded packets, newest on top, a packet made by hand, and the second
// switch for the automatic reset. The log keeps and shows every entry: the view draws only the
// rows on screen.
class PacketConsoleWindow final : public QWidget {
    Q_OBJECT
public:
    explicit PacketConsoleWindow(QWidget* owner);
    ~PacketConsoleWindow() override;
    void bind(const ConsoleCommands& commands) { commands_ = commands; }
    void addPacket(const QByteArray& packet, const QString& direction, QTime now);
    // Empties the log; a double-click on it does the same.
    void clearLog();
    // Shows the automatic reset's switch as the Tools tab has it, without signalling back.
    void setAutoResetDisabled(bool disabled);
    // The reminder that the device must be reset by hand after storing data.
    void setManualResetHintVisible(bool visible);
    void retranslate();
    const PacketDump& log() const noexcept { return log_; }
    // Puts the entries logged since the last refresh into the view now (the 50 ms timer does it
    // otherwise).
    void refreshLog();

signals:
    // The user ticked or cleared "Disable Automatic Reset on Timeout".
    void autoResetDisabledToggled(bool disabled);

private:
    QGridLayout* packetFieldsLayout();
    void sendPacket();
    void clearForm();
    // Type, index, subindex and the four data bytes, in that order.
    std::array<QLineEdit*, 7> packetFields() const;

    PacketDump log_;
    PacketLogView* logView_;
    QLineEdit* typeField_;
    QLineEdit* indexField_;
    QLineEdit* subindexField_;
    std::array<QLineEdit*, 4> dataFields_{};
    QLabel* typeLabel_;
    QLabel* indexLabel_;
    QLabel* subindexLabel_;
    QLabel* dataLabel_;
    QPushButton* sendButton_;
    QPushButton* resetButton_;
    QPushButton* clearButton_;
    QCheckBox* autoResetOffBox_;
    QLabel* manualResetHint_;
    QTimer refresh_;
    std::optional<ConsoleCommands> commands_;
};

} // namespace tunekit
