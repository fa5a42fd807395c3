#include "cli/cli_channels.h"

#include "cli/cli_json.h"
#include "cli/cli_run.h"
#include "cli/interrupt_watch.h"
#include "host/adapter_port.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <memory>
#include <vector>

namespace tunekit::cli {
namespace {

QString translated(const char* text)
{
    return QCoreApplication::translate("Cli", text);
}

void print(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

// A diff that finds differences has done its work.
bool channelPassed(Command command, Exit exit)
{
    return exit == Exit::Ok || (command == Command::Diff && exit == Exit::Differs);
}

} // namespace

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

CliChannels::CliChannels(const Options& options, UiLanguage& language, const MessageCodes& codes)
    : options_(options), language_(language), codes_(codes)
{
}

QCoro::Task<Exit> CliChannels::run()
{
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
        print(stderr, translated(QT_TRANSLATE_NOOP("Cli", "No adapter with the serial number %1 is plugged in.")).arg(serial) + u'\n');
    if (ports.removeDuplicates() > 0) {
        const QString message = translated(QT_TRANSLATE_NOOP("Cli", "A port was named twice; each channel needs a port of its own."));
        print(stderr, message + u'\n');
        if (options_.json)
            print(stdout, QString::fromUtf8(QJsonDocument(usageErrorJson(codes_.codeFor(message), message)).toJson(QJsonDocument::Indented)));
        co_return Exit::Usage;
    }

    std::vector<std::unique_ptr<CliRun>> runs;
    for (const QString& port : ports) {
        Options channel = options_;
        channel.port = port;
        channel.ports = {port};
        channel.adapters.clear();
        if (!options_.log.isEmpty()) {
            // trace.txt on /dev/ttyUSB0 becomes trace-ttyUSB0.txt.
            const QFileInfo log(options_.log);
            const QString suffix = log.suffix().isEmpty() ? QString() : u'.' + log.suffix();
            channel.log = log.dir().filePath(log.completeBaseName() + u'-' + port.section(u'/', -1).remove(u' ') + suffix);
        }
        runs.push_back(std::make_unique<CliRun>(channel, language_, codes_, CliRun::Output::Channel));
    }
    const InterruptWatch interrupts([&runs] {
        for (const std::unique_ptr<CliRun>& run : runs)
            run->interrupt();
    });
    // Every channel starts at once; each ends on its own.
    std::vector<QCoro::Task<Exit>> started;
    for (const std::unique_ptr<CliRun>& run : runs)
        started.push_back(run->run());
    QList<Exit> exits;
    for (QCoro::Task<Exit>& task : started)
        exits.append(co_await task);
    // An adapter that is not plugged in is a channel that failed at once, with its record.
    QStringList names = ports;
    for (const QString& serial : missing) {
        Options channel = options_;
        channel.port.clear();
        channel.ports.clear();
        channel.adapters.clear();
        runs.push_back(std::make_unique<CliRun>(channel, language_, codes_, CliRun::Output::Channel));
        exits.append(runs.back()->adapterMissing(serial));
        names.append(serial);
    }

    int passed = 0;
    QJsonArray channels;
    QString lines;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const Exit exit = exits.at(static_cast<qsizetype>(i));
        const bool ok = channelPassed(options_.command, exit);
        passed += ok ? 1 : 0;
        const QJsonObject& document = runs[i]->document();
        channels.append(document);
        const QString serial = document.value(QStringLiteral("serialNumber")).toString();
        lines += QStringList{names.at(static_cast<qsizetype>(i)), ok ? QStringLiteral("PASS") : QStringLiteral("FAIL"),
                             QString::number(static_cast<int>(exit)), serial.isEmpty() ? QStringLiteral("-") : serial,
                             runs[i]->lastMessage()}
                     .join(u'\t')
                 + u'\n';
    }
    const Exit exit = channelsExit(exits);
    const int total = static_cast<int>(exits.size());
    if (options_.json) {
        QJsonObject document = jsonDocument(commandName(options_.command));
        document.insert(QStringLiteral("channels"), channels);
        document.insert(QStringLiteral("passed"), passed);
        document.insert(QStringLiteral("failed"), total - passed);
        document.insert(QStringLiteral("exitCode"), static_cast<int>(exit));
        print(stdout, QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Indented)));
    } else {
        print(stdout, lines);
        print(stderr, translated(QT_TRANSLATE_NOOP("Cli", "%1 of %2 channels passed.")).arg(passed).arg(total) + u'\n');
    }
    co_return exit;
}

} // namespace tunekit::cli
