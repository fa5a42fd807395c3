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

ChosenStore openChosenStore(const QString& optionUrl, const QString& environmentUrl, const QString& dataFolder)
{
    const QString url = !optionUrl.isEmpty() ? optionUrl : environmentUrl;
    ChosenStore chosen;
    if (url.startsWith(QLatin1StringView("postgresql:")) || url.startsWith(QLatin1StringView("postgres:"))) {
        if (const auto server = parseServerUrl(url, &chosen.error))
            chosen.store = std::make_unique<PostgresRecordStore>(*server, dataFolder);
        return chosen;
    }
    QString path;
    if (url.isEmpty()) {
        path = SqliteRecordStore::defaultPath(dataFolder);
    } else if (url.startsWith(QLatin1StringView("sqlite:"))) {
        path = url.mid(7);
        // sqlite:///var/records.sqlite as well as sqlite:/var/records.sqlite
        if (path.startsWith(QLatin1StringView("///")))
            path = path.mid(2);
    }
    if (path.isEmpty()) {
        chosen.error = QCoreApplication::translate("Records", "%1 is no records URL (postgresql://user@host/database "
                                                              "or sqlite:PATH).")
                           .arg(withoutPassword(url));
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
