#pragma once

#include "records/record_store.h"
#include "records/store_choice.h"

#include <QCoroTask>
#include <QThread>

#include <functional>

namespace tunekit::records {

// Records read back, and the store they came from ("SQLite file ...").
struct FoundRecords {
    RecordQuery query;
    QString store;
};

// The records the filter lets through from store, or the reason there is no store (openError).
FoundRecords recordsIn(RecordStore* store, const QString& openError, const RecordFilter& filter);

// Where a station hands the records of its operations, and where the window's views read them
// back from.
class RecordSink {
public:
    virtual ~RecordSink() = default;
    // Keeps a finished record; ends once the store (or the spool) has it, or neither could.
    virtual QCoro::Task<RecordOutcome> keep(OperationRecord record) = 0;
    // The records the filter lets through, oldest first. A sink that keeps them nowhere it can
    // read finds none, and says so.
    virtual QCoro::Task<FoundRecords> find(RecordFilter filter);
};

// What sink finds; when there is no sink, that no records are kept.
QCoro::Task<FoundRecords> findRecords(RecordSink* sink, RecordFilter filter);

// Keeps records in a store on the caller's thread, at once: for tools and for tests that run in
// virtual time.
class StoreSink final : public RecordSink {
public:
    explicit StoreSink(RecordStore& store) : store_(store) {}
    QCoro::Task<RecordOutcome> keep(OperationRecord record) override { co_return store_.add(record); }
    QCoro::Task<FoundRecords> find(RecordFilter filter) override { co_return recordsIn(&store_, {}, filter); }

private:
    RecordStore& store_;
};

// Keeps records in a store that is opened once, as soon as the keeper is made, and used only on
// a thread of its own: a server that does not answer or a file another process holds locked
// makes the record (or the records read back) wait, never the lines a front end drives. Needs a
// running event loop to deliver outcomes.
class RecordKeeper final : public RecordSink {
public:
    // open: called once, on the keeper's thread, right after the keeper is made.
    explicit RecordKeeper(std::function<ChosenStore()> open);
    ~RecordKeeper() override;
    RecordKeeper(const RecordKeeper&) = delete;
    RecordKeeper& operator=(const RecordKeeper&) = delete;

    QCoro::Task<RecordOutcome> keep(OperationRecord record) override;
    QCoro::Task<FoundRecords> find(RecordFilter filter) override;

private:
    // Runs work on the keeper's thread; the task ends with its result.
    template <typename Result, typename Work>
    QCoro::Task<Result> onKeeperThread(Work work);
    class Worker;
    QThread thread_;
    Worker* worker_; // lives on thread_
};

} // namespace tunekit::records
