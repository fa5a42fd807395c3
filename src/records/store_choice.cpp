#include "records/store_choice.h"

#include "records/postgres_store.h"
#include "records/sqlite_store.h"

#include <QCoreApplication>
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
    return sqlitePath(url).isEmpty() ? notRecordsUrlText(url) : QString();
}

ChosenStore openChosenStore(const QString& optionUrl, const QString& environmentUrl, const QString& dataFolder)
{
    const QString url = !optionUrl.isEmpty() ? optionUrl : environmentUrl;
    ChosenStore chosen;
    if (namesServer(url)) {
        if (const auto server = parseServerUrl(url, &chosen.error))
            chosen.store = std::make_unique<PostgresRecordStore>(*server, dataFolder);
        return chosen;
    }
    const QString path = url.isEmpty() ? SqliteRecordStore::defaultPath(dataFolder) : sqlitePath(url);
    if (path.isEmpty()) {
        chosen.error = notRecordsUrlText(url);
        return chosen;
    }
    auto sqlite = std::make_unique<SqliteRecordStore>(path);
    if (!sqlite->error().isEmpty())
        chosen.error = sqlite->error();
    else
        chosen.store = std::move(sqlite);
    return chosen;
}

} // namespace tunekit::records
