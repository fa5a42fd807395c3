#pragma once

#include "access/access_level.h"
#include "base/dialogs.h"
#include "base/station_views.h"
#include "base/version_info.h"
#include "records/record_keeper.h"
#include "session/station.h"

#include <QCoreApplication>
#include <QCoroTask>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace tunekit {

class Clock;
class HostFacts;
class SerialLine;

// What the operator fixed on the production tab: the file every unit gets, where backups go and
// the answers to the questions a write may ask. Nobody is asked at the line.
struct ProductionSettings {
    QString file;                    // an .scd file with a valid checksum
    QString backupFolder;
    bool writeExtendedData = true;   // the file's extended data goes out with the parameters
    bool writeCalibration = false;   // adjusted calibration values of the unit are overwritten
    bool initialiseErasedValues = true;
};

// Answers a write's questions from the settings and keeps its messages for the channel's row.
class FixedAnswers final : public Dialogs {
public:
    explicit FixedAnswers(const ProductionSettings& settings) : settings_(settings) {}
    MsgAnswer msgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override;
    QCoro::Task<MsgAnswer> ask(Question question, QString text, MsgButtons buttons, MsgIcon icon, QString title) override;
    QStringList messages;

private:
    const ProductionSettings& settings_;
};

// The seams of a channel: its own line, the shared clock and host, where records go.
struct ChannelSeams {
    SerialLine& line;
    Clock& clock;
    const HostFacts& host;
    records::RecordSink* records = nullptr; // none: no record is kept
    QString port;                           // as the operator knows it
    QString adapter;                        // the adapter's USB serial number
};

// One channel of a production line: a station on its own adapter that programs one unit after the
// other with the line's fixed file and answers. In automatic mode it asks about once a second
// whether a unit answers, programs it, shows PASS or FAIL and waits until the unit is taken away.
class ProductionChannel : private StationViews {
    Q_DECLARE_TR_FUNCTIONS(ProductionChannel)

public:
    enum class State {
        Idle,      // not armed
        Waiting,   // armed: waiting for a unit to answer
        Working,   // programming a unit
        Passed,    // the last unit was written, verified and recorded; waiting for it to go
        Failed,    // the last unit failed; waiting for it to go
    };

    // level: the access level in force, asked for each unit.
    ProductionChannel(ChannelSeams seams, const ProductionSettings& settings, std::function<AccessLevel()> level,
                      VersionInfo version);
    ~ProductionChannel() override;
    ProductionChannel(const ProductionChannel&) = delete;
    ProductionChannel& operator=(const ProductionChannel&) = delete;

    // Stops for good: a unit in work ends as cancelled and keeps its record; nothing starts again.
    void close();
    // Opens the channel's port; false when it cannot be used.
    bool open();
    // Lets go of the port while the channel is idle, so that another may use it; the next unit
    // opens it again.
    void releasePort();
    // Programs the unit that is connected now: backup, write, verify, record. Gives whether it passed.
    QCoro::Task<bool> programUnit();
    // Automatic mode until Stop(): program each unit that answers, once, until it is taken away.
    QCoro::Task<> runAutomatic();
    void stop() { automatic_ = false; }
    bool automatic() const noexcept { return automatic_; }

    State currentState() const noexcept { return state_; }
    const QString& port() const noexcept { return seams_.port; }
    const QString& adapter() const noexcept { return seams_.adapter; }
    const QString& serialNumber() const noexcept { return serialNumber_; }
    // Why the last unit failed, or its result.
    const QString& message() const noexcept { return message_; }
    int progress() const noexcept { return progress_; } // 0..100 of the unit in hand
    int unitsPassed() const noexcept { return passed_; }
    int unitsFailed() const noexcept { return failed_; }
    // The channel's trace for "Save trace": every packet sent and received, once, with date and
    // time, each unit's beginning and end with its result; of the waiting between units only
    // the last lines.
    QStringList trace() const;
    Station& device() noexcept { return station_; }
    // Told whenever the row should be shown anew.
    void setChanged(std::function<void()> changed) { changed_ = std::move(changed); }

private:
    void changed(StationChanges changes) override;
    void progressChanged(const TransferProgress& progress) override;
    void logged(const TrafficEntry& entry) override;
    void show(State state);
    // Whether a unit answers: asks for its ConfigID.
    QCoro::Task<bool> unitPresent();
    // Ends the unit with its message (none: the answers' last one), keeps its record and shows
    // the result; gives whether it passed.
    QCoro::Task<bool> finish(bool passed, const QString& message);
    // The bar's share for the step the unit's programming has reached.
    void enterPhase(ProgramStep step);

    ChannelSeams seams_;
    const ProductionSettings& settings_;
    std::function<AccessLevel()> level_;
    VersionInfo version_;
    FixedAnswers answers_;
    Station station_;
    State state_ = State::Idle;
    bool portOpen_ = false;
    bool automatic_ = false;
    int automaticRuns_ = 0; // automatic runs started; only the newest goes on
    QString serialNumber_;
    QString message_;
    int progress_ = 0;
    // The share of the unit's bar the transfer under way fills.
    struct Phase {
        int from = 0;
        int to = 0;
    };
    Phase phase_;
    int passed_ = 0;
    int failed_ = 0;
    QStringList trace_;
    static constexpr qsizetype IdleTraceLines = 40;
    QStringList idleLines_;
    qsizetype idleLinesLeftOut_ = 0;
    void addToTrace(const QString& line);
    std::function<void()> changed_;
    CancelScope polls_; // automatic mode's waits for the next unit
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

} // namespace tunekit
