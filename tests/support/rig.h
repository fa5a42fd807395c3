#pragma once

#include "base/language.h"
#include "session/session.h"
#include "host/host_facts.h"
#include "link/clock.h"
#include "link/packet_codec.h"
#include "link/waits.h"
#include "sim/sim_line.h"
#include "sim/virtual_clock.h"
#include "support/run_events.h"
#include "support/scripted_dialogs.h"
#include "support/station_probe.h"

#include <QList>

#include <optional>

#include <functional>

namespace tunekit::testing {

// Host facts of a German Windows 7 machine, the same on every test host.
class FixedHost final : public HostFacts {
public:
    OsVersion osVersionRecord() const override { return {OsPlatform::Nt, 6, 1, 7601, {}}; }
    QStringList environment() const override { return {QStringLiteral("PROCESSOR_ARCHITECTURE=AMD64")}; }
    QString defaultLanguageId() const override { return languageId; }
    QString computerName() const override { return QStringLiteral("WORKSHOP-PC"); }
    QString userName() const override { return QStringLiteral("technician"); }
    QString programFolder() const override { return programDir; }
    bool programFolderWritable() const override { return programDirWritable; }
    QString userConfigFolder() const override { return configFolder; }
    QDateTime now() const override { return QDateTime(QDate(2026, 12, 6), QTime(14, 3, 27)); }
    QString adapterPortName() const override { return adapterPort; }
    QString languageId = QStringLiteral("0409");
    QString adapterPort;
    QString programDir = QStringLiteral("/opt/tunekit");
    bool programDirWritable = false;
    QString configFolder; // the user's configuration folder; "" keeps no settings
};

// Records what the logic tells the windows. Given the image, it keeps the family the image held at
// each change of values; beforeSend runs just before each packet leaves (the engine logs it first).
class RecordingViews final : public SessionViews {
public:
    const DeviceImage* image = nullptr;
    std::function<bool()> detecting;
    std::function<void()> beforeSend;
    QList<TransferProgress> windows;
    int statusBarUpdates = 0;
    int refreshes = 0;               // changes of values
    QList<qint16> valuesShownFor;    // the image's family at each change of values
    QList<bool> buttonsEnabled;
    QStringList debugLines;
    QList<QPair<QByteArray, QString>> dumps;
    QByteArray terminal;
    int consoleClears = 0;
    std::array<bool, 5> tabs{true, true, true, true, true};
    PerLevel levelChecks{};
    bool consoleShown = false;
    int arranged = 0;
    QList<bool> redetectWindow;

    void changed(StationChanges changes) override
    {
        if (changes & StationChange::Values) {
            ++refreshes;
            if (image)
                valuesShownFor << image->imageConfigId;
        }
        if (changes & StationChange::Status)
            ++statusBarUpdates;
        if (changes & StationChange::Controls)
            buttonsEnabled << !(detecting && detecting());
    }
    void progressChanged(const TransferProgress& progress) override { windows << progress; }
    // What the progress window shows now (since the list was last cleared).
    TransferProgress progress() const { return windows.isEmpty() ? TransferProgress{} : windows.last(); }
    void logged(const TrafficEntry& entry) override
    {
        switch (entry.kind) {
        case TrafficEntry::Kind::Debug:
            debugLines.append(entry.text);
            if (beforeSend && entry.text.startsWith(u"TxSend: "))
                beforeSend();
            break;
        case TrafficEntry::Kind::Packet: dumps.append({entry.bytes, entry.text}); break;
        case TrafficEntry::Kind::Terminal: terminal.append(entry.bytes); break;
        case TrafficEntry::Kind::PacketsCleared: ++consoleClears; break;
        case TrafficEntry::Kind::TerminalCleared: break;
        }
    }
    void setTabVisible(int tab, bool visible) override { tabs[static_cast<std::size_t>(tab)] = visible; }
    void applyLevelChecks(const PerLevel& checks) override { levelChecks = checks; }
    void showConsoles(bool, bool console) override { consoleShown = console; }
    void arrangeWindows() override { ++arranged; }
    void applyLevelView(const LevelView&) override {}
    void showRedetectWindow(bool shown) override { redetectWindow << shown; }
};

// A run on one named port (0: none) instead of discovery.
inline PortPlan namedPort(qint16 number)
{
    return {false, number, QString()};
}

// The whole logic against the simulated transmitter, in virtual time, with the engine ticking
// every 10 ms. Given an access level, the image is set up at it as a user's would be before a
// transfer (the window's start-up does that otherwise). The session's parts go by short names.
struct Rig {
    explicit Rig(int configId = 53, int level = 0) : line(clock, configId)
    {
        engine.setDownloadResponseHandler([this](const QByteArray& p) {
            responses.append(p);
            transfers.handleDownloadResponse(p);
        });
        clock.startTicker(10, [this] { session.mainTimerTick(); });
        views.image = &image;
        views.detecting = [this] { return transfers.detecting(); };
        if (const std::optional<AccessLevel> given = AccessLevel::fromNumber(level)) {
            accessLevel = *given;
            image.initDeviceImage(levelMarks(accessLevel), Language::English);
        }
    }
    // Opens the simulated adapter's port as discovery would have.
    void connect()
    {
        portState.portNumber = 1;
        portState.adapterFound = port.openPort();
        portState.adapterPort = 1;
    }
    void queueReads(int count, int firstIndex = 0x2000)
    {
        for (int i = 0; i < count; ++i)
            engine.sendPacket(0x10, firstIndex + i, 0);
        engine.state().sending = true;
    }
    // The batch's last packet has left (or the batch was given up); its answer may be on its way.
    bool runUntilBatchEnd(qint64 limitMs = 600000)
    {
        return clock.runUntil([this] { return !engine.state().sending; }, limitMs);
    }
    // Runs the clock until the task has ended; its result, or nothing when limitMs passed first.
    template <typename T>
    std::optional<T> finish(QCoro::Task<T> task, qint64 limitMs = 600000)
    {
        auto result = std::make_shared<std::optional<T>>();
        whenDone<T>(std::move(task), [result](T value) { *result = std::move(value); });
        clock.runUntil([&result] { return result->has_value(); }, limitMs);
        return *result;
    }
    bool finish(QCoro::Task<> task, qint64 limitMs = 600000) { return runTask(clock, std::move(task), limitMs); }
    // Until the engine has nothing left to do and the automatic reset is over.
    bool runUntilIdle()
    {
        const bool idle = clock.runUntil([this] { return !transfers.engineBusy(); }, 600000);
        clock.runFor(5000);
        return idle;
    }
    // A detected device; the detection's traffic is forgotten.
    void detect()
    {
        connect();
        finish(transfers.detectDevice());
        clock.runFor(5000);
        line.device().clearRequests();
        views.refreshes = 0;
        views.windows.clear();
    }
    // The device's requests as (index, subindex), oldest first.
    QList<QPair<int, int>> requests()
    {
        QList<QPair<int, int>> list;
        for (const QByteArray& request : line.device().requests())
            list << QPair<int, int>{packetIndex(request), packetSubindex(request)};
        return list;
    }
    // The subindexes requested of one index.
    QList<int> subindexes(int index)
    {
        QList<int> subs;
        for (const auto& [requested, sub] : requests()) {
            if (requested == index)
                subs << sub;
        }
        return subs;
    }
    // The requests of one packet type, whole.
    QList<QByteArray> sent(int type)
    {
        QList<QByteArray> packets;
        for (const QByteArray& request : line.device().requests()) {
            if (packetType(request) == type)
                packets << request;
        }
        return packets;
    }
    // The packet types the device got, in order, without the detection's reads.
    QList<int> types()
    {
        QList<int> types;
        for (const QByteArray& request : line.device().requests())
            types << packetType(request);
        types.removeAll(DownloadRequest);
        return types;
    }
    QStringList texts() const
    {
        QStringList texts;
        for (const auto& message : dialogs.messages)
            texts << message.text;
        return texts;
    }


    VirtualClock clock;
    SimLine line;
    ScriptedDialogs dialogs;
    FixedHost host;
    RecordingViews views;
    UiLanguage language;
    Session session{SessionSeams{line, clock, dialogs, host, nullptr}, views, language};
    QList<QByteArray> responses;

    Station& station = session.device();
    TransmitEngine& engine = StationProbe::engine(station);
    SerialPortAccess& port = StationProbe::port(station);
    PortState& portState = port.state();
    DeviceImage& image = StationProbe::image(station);
    TransferOptions& options = StationProbe::options(station);
    DeviceTransfers& transfers = StationProbe::transfers(station);
    DeviceWrites& writes = StationProbe::writes(station);
    AccessLevel& accessLevel = session.access().level;
};

} // namespace tunekit::testing
