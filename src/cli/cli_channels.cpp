#include "cli/cli_channels.h"

#include "cli/cli_json.h"
#include "host/adapter_port.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

namespace tunekit::cli {
namespace {

// A channel's options: the command line's, on its one port (none for an adapter that is not
// plugged in), with a packet trace of its own (trace.txt on /dev/ttyUSB0 becomes
// trace-ttyUSB0.txt).
Options channelOptions(const Options& options, const QString& port)
{
    Options channel = options;
    channel.ports = port.isEmpty() ? QStringList() : QStringList{port};
    channel.adapters.clear();
    if (!options.log.isEmpty()) {
        const QFileInfo log(options.log);
        const QString suffix = log.suffix().isEmpty() ? QString() : u'.' + log.suffix();
        channel.log = log.dir().filePath(log.completeBaseName() + u'-' + port.section(u'/', -1).remove(u' ') + suffix);
    }
    return channel;
}

// The exit status of several channels: 0 when each passed, the channels' own status when they
// all failed alike, else 8.
Exit channelsExit(const QList<Exit>& exits)
{
    std::optional<Exit> common;
    for (const Exit exit : exits) {
        if (exit == Exit::Ok)
            continue;
        if (common && *common != exit)
            return Exit::Failed;
        common = exit;
    }
    return common.value_or(Exit::Ok);
}

} // namespace

CliChannels::CliChannels(const Options& options, UiLanguage& language, const MessageCodes& codes, RunSeams seams)
    : options_(options), language_(language), codes_(codes), seams_(std::move(seams))
{
}

void CliChannels::interrupt()
{
    for (const std::unique_ptr<CliRun>& run : runs_)
        run->interrupt();
}

QCoro::Task<Exit> CliChannels::run()
{
    const Console console(seams_.streams, false);
    // The channels' ports: those named, then those of the adapters named by serial number.
    QStringList ports;
    for (const QString& port : options_.ports)
        ports.append(portSystemName(port));
    QStringList missing;
    if (!options_.adapters.isEmpty()) {
        const QList<SystemPort> system = systemPorts();
        for (const QString& serial : options_.adapters) {
            const QString port = portOfAdapter(system, serial);
            if (port.isEmpty())
                missing.append(serial);
            else
                ports.append(port);
        }
    }
    for (const QString& serial : missing)
        console.error(tr("No adapter with the serial number %1 is plugged in.").arg(serial) + u'\n');
    if (ports.removeDuplicates() > 0) {
        const QString message = tr("A port was named twice; each channel needs a port of its own.");
        console.error(message + u'\n');
        if (options_.json)
            console.out(jsonText(usageErrorJson(codes_.codeFor(message), message)));
        co_return Exit::Usage;
    }

    for (const QString& port : ports)
        runs_.push_back(std::make_unique<CliRun>(channelOptions(options_, port), language_, codes_, seams_,
                                                 CliRun::Output::Channel));
    // Every channel starts at once; each ends on its own.
    std::vector<QCoro::Task<Exit>> started;
    for (const std::unique_ptr<CliRun>& run : runs_)
        started.push_back(run->run());
    QList<Exit> exits;
    for (QCoro::Task<Exit>& task : started)
        exits.append(co_await task);
    // An adapter that is not plugged in is a channel that failed at once, with its record.
    QStringList names = ports;
    for (const QString& serial : missing) {
        runs_.push_back(std::make_unique<CliRun>(channelOptions(options_, QString()), language_, codes_, seams_,
                                                 CliRun::Output::Channel));
        exits.append(co_await runs_.back()->adapterMissing(serial));
        names.append(serial);
    }
    co_return report(console, names, exits);
}

Exit CliChannels::report(const Console& console, const QStringList& names, const QList<Exit>& exits) const
{
    int passed = 0;
    QJsonArray channels;
    QString lines;
    for (std::size_t i = 0; i < runs_.size(); ++i) {
        const Exit exit = exits.at(static_cast<qsizetype>(i));
        const bool ok = commandPassed(options_.command, exit);
        passed += ok ? 1 : 0;
        const QJsonObject& document = runs_[i]->document();
        channels.append(document);
        const QString serial = document.value(QStringLiteral("serialNumber")).toString();
        lines += QStringList{names.at(static_cast<qsizetype>(i)), ok ? QStringLiteral("PASS") : QStringLiteral("FAIL"),
                             QString::number(static_cast<int>(exit)), serial.isEmpty() ? QStringLiteral("-") : serial,
                             runs_[i]->lastMessage()}
                     .join(u'\t')
                 + u'\n';
    }
    Exit exit = channelsExit(exits);
    const int total = static_cast<int>(exits.size());
    if (options_.json) {
        QJsonObject document = jsonDocument(commandName(options_.command));
        document.insert(QStringLiteral("channels"), channels);
        document.insert(QStringLiteral("passed"), passed);
        document.insert(QStringLiteral("failed"), total - passed);
        document.insert(QStringLiteral("exitCode"), static_cast<int>(exit));
        console.out(jsonText(document));
    } else {
        console.out(lines);
        console.error(tr("%1 of %2 channels passed.").arg(passed).arg(total) + u'\n');
    }
    // Results that did not reach standard output are a failure, as in a single run.
    if (console.outputFailed()) {
        console.error(tr("The output could not be written completely.") + u'\n');
        if (exit == Exit::Ok || exit == Exit::Differs)
            exit = Exit::Failed;
    }
    return exit;
}

} // namespace tunekit::cli
