#include "records/store_choice.h"

#include "records/postgres_store.h"
#include "records/record_spool.h"
#include "records/sqlite_store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tunekit::records {

ChosenStore openUserStore(const QString& optionUrl)
{
    return openChosenStore(optionUrl, qEnvironmentVariable("TUNEKIT_RECORDS"),
                           QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

namespace {

bool namesServer(const QString& url)
{
    return url.startsWith(QLatin1StringView("postgresql:")) || url.startsWith(QLatin1StringView("postgres:"));
}

// The file a sqlite: URL names; "" for a URL that is no sqlite: URL.
QString sqlitePath(const QString& url)
{
    if (!url.startsWith(QLatin1StringView("sqlite:")))
        return {};
    QString path = url.mid(7);
    // sqlite:///var/records.sqlite as well as sqlite:/var/records.sqlite
    if (path.startsWith(QLatin1StringView("///")))
        path = path.mid(2);
    return path;
}

QString notRecordsUrlText(const QString& url)
{
    return QCoreApplication::translate("Records", "%1 is no records URL (postgresql://user@host/database or sqlite:PATH).")
        .arg(withoutPassword(url));
}

} // namespace

QString recordsUrlProblem(const QString& url)
{
    if (url.isEmpty())
        return {};
    QString error;
    if (namesServer(url))
        return parseServerUrl(url, &error) ? QString() : error;
    const QString path = sqlitePath(url);
    if (path.isEmpty())
        return notRecordsUrlText(url);
    // A mistyped folder is not made: the records would go where nobody looks for them.
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (!folder.isDir())
        return QCoreApplication::translate("Records", "The folder of the records file %1 does not exist.").arg(path);
    if (QFileInfo(path).isDir())
        return QCoreApplication::translate("Records", "The records file %1 is a folder.").arg(path);
    return {};
}

QString spoolFolder(const QString& dataFolder)
{
    return QDir(dataFolder).filePath(QStringLiteral("spool"));
}

ChosenStore openChosenStore(const QString& optionUrl, const QString& environmentUrl, const QString& dataFolder,
                            int sqliteBusyTimeoutMs)
{
    const QString url = !optionUrl.isEmpty() ? optionUrl : environmentUrl;
    ChosenStore chosen;
    if (namesServer(url)) {
        const auto server = parseServerUrl(url, &chosen.error);
        if (server)
            chosen.store = std::make_unique<SpooledStore>(server->url(), std::make_unique<PostgresRecordStore>(*server, dataFolder),
                                                          QString(), spoolFolder(dataFolder));
        return chosen;
    }
    const QString path = url.isEmpty() ? SqliteRecordStore::defaultPath(dataFolder) : sqlitePath(url);
    if (path.isEmpty()) {
        chosen.error = notRecordsUrlText(url);
        return chosen;
    }
    auto sqlite = std::make_unique<SqliteRecordStore>(path, sqliteBusyTimeoutMs);
    const QString destination = QStringLiteral("sqlite:") + QFileInfo(path).absoluteFilePath();
    // A file named on purpose and made just now may be a typing mistake: the user hears of it.
    const QString notice = !url.isEmpty() && sqlite->madeNew()
                               ? QCoreApplication::translate("Records", "A new records file was made: %1").arg(path)
                               : QString();
    const QString openError = sqlite->error();
    if (!openError.isEmpty())
        sqlite.reset();
    chosen.store = std::make_unique<SpooledStore>(destination, std::move(sqlite), openError, spoolFolder(dataFolder), notice);
    return chosen;
}

} // namespace tunekit::records
