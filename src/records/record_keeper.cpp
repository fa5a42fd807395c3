#include "records/record_keeper.h"

#include <QCoreApplication>
#include <QCoroFuture>
#include <QPromise>

#include <memory>

namespace tunekit::records {

FoundRecords recordsIn(RecordStore* store, const QString& openError, const RecordFilter& filter)
{
    if (!store)
        return {{{}, openError}, {}};
    return {store->query(filter), store->description()};
}

namespace {

FoundRecords noneKept()
{
    return {{{}, QCoreApplication::translate("Records", "No records are kept here.")}, {}};
}

} // namespace

QCoro::Task<FoundRecords> RecordSink::find(RecordFilter)
{
    co_return noneKept();
}

QCoro::Task<FoundRecords> findRecords(RecordSink* sink, RecordFilter filter)
{
    if (!sink)
        co_return noneKept();
    // Made apart from the co_await: GCC 12 destroys a temporary in a co_await expression twice.
    QCoro::Task<FoundRecords> finding = sink->find(std::move(filter));
    co_return co_await finding;
}

class RecordKeeper::Worker : public QObject {
public:
    explicit Worker(std::function<ChosenStore()> open) : open_(std::move(open)) {}

    void open()
    {
        if (opened_)
            return;
        opened_ = true;
        ChosenStore chosen = open_();
        store_ = std::move(chosen.store);
        error_ = chosen.error;
    }
    RecordOutcome keep(const OperationRecord& record)
    {
        open();
        return store_ ? store_->add(record) : RecordOutcome{RecordOutcome::Status::Failed, error_};
    }
    FoundRecords find(const RecordFilter& filter)
    {
        open();
        return recordsIn(store_.get(), error_, filter);
    }
    void close() { store_.reset(); }

private:
    std::function<ChosenStore()> open_;
    bool opened_ = false;
    std::unique_ptr<RecordStore> store_; // made, used and closed on the keeper's thread
    QString error_;
};

RecordKeeper::RecordKeeper(std::function<ChosenStore()> open) : worker_(new Worker(std::move(open)))
{
    thread_.setObjectName(QStringLiteral("records"));
    worker_->moveToThread(&thread_);
    QObject::connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_.start();
    // Opened now, while the operation that will be recorded runs: a server that does not answer
    // has had its connection time-out by the time the first record is ready, which then goes
    // to the spool at once instead of making its unit wait.
    QMetaObject::invokeMethod(worker_, [worker = worker_] { worker->open(); }, Qt::QueuedConnection);
}

RecordKeeper::~RecordKeeper()
{
    // The store's connection belongs to the keeper's thread: it is closed there.
    QMetaObject::invokeMethod(worker_, [worker = worker_] { worker->close(); }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

template <typename Result, typename Work>
QCoro::Task<Result> RecordKeeper::onKeeperThread(Work work)
{
    auto promise = std::make_shared<QPromise<Result>>();
    QFuture<Result> future = promise->future();
    promise->start();
    QMetaObject::invokeMethod(
        worker_,
        [worker = worker_, promise, work = std::move(work)] {
            promise->addResult(work(*worker));
            promise->finish();
        },
        Qt::QueuedConnection);
    co_return co_await future;
}

QCoro::Task<RecordOutcome> RecordKeeper::keep(OperationRecord record)
{
    return onKeeperThread<RecordOutcome>([record = std::move(record)](Worker& worker) { return worker.keep(record); });
}

QCoro::Task<FoundRecords> RecordKeeper::find(RecordFilter filter)
{
    return onKeeperThread<FoundRecords>([filter = std::move(filter)](Worker& worker) { return worker.find(filter); });
}

} // namespace tunekit::records
