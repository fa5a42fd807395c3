#include "records/record_keeper.h"

#include <QCoroFuture>
#include <QPromise>

#include <memory>

namespace tunekit::records {

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

QCoro::Task<RecordOutcome> RecordKeeper::keep(OperationRecord record)
{
    auto promise = std::make_shared<QPromise<RecordOutcome>>();
    QFuture<RecordOutcome> future = promise->future();
    promise->start();
    QMetaObject::invokeMethod(
        worker_,
        [worker = worker_, promise, record = std::move(record)] {
            promise->addResult(worker->keep(record));
            promise->finish();
        },
        Qt::QueuedConnection);
    co_return co_await future;
}

} // namespace tunekit::records
