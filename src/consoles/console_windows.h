#pragma once

#include "consoles/console_commands.h"
#include "consoles/packet_dump.h"
#include "consoles/terminal_buffer.h"

#include <QTime>
#include <QTimer>
#include <QWidget>

#include <array>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tunekit {

class PacketLogView;

// frmTerminal: the raw text on the line, refreshed at most every 50 ms. Keys typed into it go to
// the device; double-clicking clears it; closing it discards what it held.
class TerminalWindow final : public QWidget {
    Q_OBJECT
public:
    explicit TerminalWindow(QWidget* owner);
    void Bind(const ConsoleCommands& commands) { commands_ = commands; }
    void AddToTerminal(const QByteArray& text);
    void Clear(); // txtTerminal_DblClick
    void Retranslate();
    const TerminalBuffer& Buffer() const noexcept { return buffer_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Refresh();

    TerminalBuffer buffer_;
    QPlainTextEdit* txtTerminal;
    QTimer tmrUpdate;
    std::optional<ConsoleCommands> commands_;
};

// frmContact: the decoded packets, newest on top, a packet made by hand, and the second reset
// switch. The log keeps and shows every entry: the view draws only the rows on screen.
class ContactWindow final : public QWidget {
    Q_OBJECT
public:
    explicit ContactWindow(QWidget* owner);
    ~ContactWindow() override;
    void Bind(const ConsoleCommands& commands) { commands_ = commands; }
    void AddContactDump(const QByteArray& packet, const QString& direction, QTime now);
    void ClearLog(); // txtLog_DblClick
    void SetCheck01(bool ticked);
    void SetHintVisible(bool visible);
    void Retranslate();
    const PacketDump& Log() const noexcept { return log_; }
    // Puts the entries logged since the last refresh into the view now (the 50 ms timer does it
    // otherwise).
    void RefreshLog();

signals:
    void Check01Toggled(bool ticked);

private:
    void cmdSend_Click();
    void cmdClear_Click();

    PacketDump log_;
    PacketLogView* txtLog;
    QLineEdit* txtType;
    QLineEdit* txtIndex;
    QLineEdit* txtSubindex;
    std::array<QLineEdit*, 4> txtData{};
    QLabel* Label10;
    QLabel* Label55;
    QLabel* Label61;
    QLabel* Label62;
    QPushButton* cmdSend;
    QPushButton* ResetButton;
    QPushButton* cmdClear;
    QCheckBox* check01;
    QLabel* Label1;
    QTimer refresh_;
    std::optional<ConsoleCommands> commands_;
};

} // namespace tunekit
