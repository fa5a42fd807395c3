#pragma once

#include "records/record_store.h"

#include <QString>

#include <memory>

namespace tunekit::records {

// The store a front end writes to and reads from, and why there is none (error).
struct ChosenStore {
    std::unique_ptr<RecordStore> store;
    QString error;
};

// The --records URL when given, else the environment's TUNEKIT_RECORDS, else the SQLite file in the
// user's data folder. A URL is postgresql://user@host[:port]/database[?options] (the records that
// server cannot take are kept in the data folder's file) or sqlite:PATH, another SQLite file.
// Whatever the destination, a record it cannot take goes to the spool in the data folder; only a
// URL that is none gives no store.
ChosenStore openChosenStore(const QString& optionUrl, const QString& environmentUrl, const QString& dataFolder,
                            int sqliteBusyTimeoutMs = 30000);
// Where records wait that their destination could not take.
QString spoolFolder(const QString& dataFolder);
// What is wrong with a records URL as it is written ("" when nothing): checked before a device is
// touched, so that a mistyped destination never costs a unit its record.
QString recordsUrlProblem(const QString& url);
// The same with this user's TUNEKIT_RECORDS and data folder.
ChosenStore openUserStore(const QString& optionUrl = {});

} // namespace tunekit::records
