#pragma once

#include "sim/line_plan.h"
#include "app/widget_dialogs.h"
#include "production/production_channel.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace tunekit {

class Clock;
class HostFacts;
class SerialLine;

// A channel the tab offers: a port with its adapter, or a simulated transmitter.
struct ChannelPlan {
    QString port;    // as the operator knows it
    QString adapter; // USB serial number; "" when not known
    LinePlan line;   // the port's system name, or a simulated transmitter
};

// The Production tab: one file for every unit, the answers fixed on the tab, one row per channel
// with its unit's serial number, progress and a PASS or FAIL that reads from a step away. In
// automatic mode every channel programs each unit plugged into it without a click. Nothing here
// opens a message box: a failure shows in its row.
class ProductionTab final : public QWidget {
    Q_OBJECT
public:
    // records: where the units' records go (the window's keeper); none: nowhere.
    ProductionTab(QWidget* parent, Clock& clock, const HostFacts& host, std::function<AccessLevel()> level,
                  VersionInfo version, records::RecordSink* records);
    ~ProductionTab() override;
    // Ends the line: a unit in work ends as cancelled, with its record, and the channels go.
    void closeLine();

    // Makes the channels anew (none may be working).
    void setChannels(const QList<ChannelPlan>& plans);
    // Fixes the file every unit gets; false, shown on the tab, when its checksum is not valid.
    bool useFile(const QString& path);
    void startAll();
    void setAutomatic(bool on);
    // A simulated channel's unit is taken away, and the next one put in its place a little later.
    void nextSimulatedUnit(int row);
    // The window's port, which a channel may need: lent before a channel starts, given back once
    // every channel has ended its work (the channels let go of their ports then).
    void setPortLending(std::function<void()> lend, std::function<void()> giveBack)
    {
        lend_ = std::move(lend);
        giveBack_ = std::move(giveBack);
    }
    void retranslate();

    ProductionChannel& channel(int row) { return *channels_.at(static_cast<std::size_t>(row))->channel; }
    int channelCount() const { return static_cast<int>(channels_.size()); }
    SerialLine& line(int row) { return *channels_.at(static_cast<std::size_t>(row))->line; }

private:
    struct Entry {
        std::unique_ptr<SerialLine> line;
        std::unique_ptr<ProductionChannel> channel;
        bool simulated = false;
    };
    void showRow(int row);
    void showFile();
    QCoro::Task<> saveTrace();
    // Runs a channel's task to its end; its row is shown anew then, while the tab lives. The
    // last task to end ends the line's work.
    template <typename T>
    void runOnRow(int row, QCoro::Task<T> task)
    {
        if (lend_ && !lent_) {
            lent_ = true;
            lend_();
        }
        ++tasksRunning_;
        QCoro::connect(std::move(task), this, [this, row] {
            --tasksRunning_;
            showRow(row);
            if (tasksRunning_ == 0)
                lineStopped();
        });
    }
    QCoro::Task<> chooseFile();
    bool working() const;
    // Every channel has ended its work: the ports go back.
    void lineStopped();

    WidgetDialogs dialogs_{this};
    Clock& clock_;
    const HostFacts& host_;
    std::function<AccessLevel()> level_;
    VersionInfo version_;
    ProductionSettings settings_;
    QString fileProblem_;
    int fileConfigId_ = 0;
    QString fileIgnoredLines_; // the file's lines that set nothing, named for the technician
    std::vector<std::unique_ptr<Entry>> channels_;
    records::RecordSink* records_; // the window's; none: no records
    std::function<void()> lend_;
    std::function<void()> giveBack_;
    bool lent_ = false;
    int tasksRunning_ = 0;
    QTableWidget* table_ = nullptr;
    QPushButton* nextUnitButton_ = nullptr;
    QLabel* fileName_ = nullptr;
    QLabel* fileState_ = nullptr;
    QCheckBox* automatic_ = nullptr;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

} // namespace tunekit
