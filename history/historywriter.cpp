// SPDX-License-Identifier: GPL-3.0-or-later
#include "historywriter.h"

#include "historyfailure.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTimer>

#include <memory>
#include <string>
#include <unordered_map>

namespace orvella {

namespace {

// The first answer includes opening (and perhaps creating or moving aside)
// the file, which is this program's own disk work, never a wait for
// another program: a busy file is answered at once.
constexpr int kFirstAnswerMs = 1000;
// A busy file is tried again after 20 ms, then at growing intervals up to
// this; the same interval finishes an interrupted clearing.
constexpr int kMaxRetryMs = 250;
constexpr int kFirstRetryMs = 20;
// The search index takes the new entries once the writer has had nothing to
// write for this long, this many at a time with a pause between, so that
// an entry's commit never carries the index's work and an entry that
// comes meanwhile waits for one short step at the most.
constexpr int kIndexIdleMs = 500;
constexpr int kIndexStep = 32;
constexpr int kIndexPauseMs = 20;

}  // namespace

// Lives on the writer's thread with the store it writes through.
class HistoryWriterWorker : public QObject {
public:
    explicit HistoryWriterWorker(HistoryWriter& writer) : writer_(writer) {}

    void drain();
    void stop()
    {
        delete retry_;
        retry_ = nullptr;
        delete index_;
        index_ = nullptr;
        store_.reset();
    }

private:
    using Result = HistoryWriter::Result;
    using Outcome = HistoryWriter::Outcome;

    HistoryStore& store();
    // Writes one job; false when the file was busy and the job stays.
    bool perform(const HistoryWriter::Job& job, Result* result);
    void retryLater(bool again);
    // Starts the single-shot `timer` (made on first use) to call `run`.
    void armTimer(QTimer*& timer, int ms, void (HistoryWriterWorker::*run)());
    // Adds new entries to the search index after a pause in the writing.
    void indexLater(int ms);
    void indexStep();

    HistoryWriter& writer_;
    std::unique_ptr<HistoryStore> store_;
    QTimer* retry_ = nullptr;
    QTimer* index_ = nullptr;
    int retryMs_ = kFirstRetryMs;
    QElapsedTimer busySince_;
    bool lockReported_ = false;
    // Per evaluation's key: its rows and parameters as last written.
    std::unordered_map<std::string, std::string> lastWritten_;
};

HistoryStore& HistoryWriterWorker::store()
{
    if (!store_)
        store_ = std::make_unique<HistoryStore>(
            writer_.path_,
            [this](const QString& notice) {
                QMutexLocker lock(&writer_.mutex_);
                writer_.notices_ << notice;
            },
            writer_.options_);
    return *store_;
}

bool HistoryWriterWorker::perform(const HistoryWriter::Job& job, Result* result)
{
    HistoryStore& s = store();
    bool ok = false;
    if (const auto* r = std::get_if<HistoryWriter::Record>(&job)) {
        if (const std::optional<std::int64_t> id = s.record(r->record)) {
            ok = true;
            result->id = *id;
        }
    } else if (const auto* e = std::get_if<HistoryWriter::Evaluation>(&job)) {
        // Evaluated here, off the GUI thread; a description that fails
        // costs the entry, never the companion.
        std::optional<CalculationRecord> record;
        try {
            if (e->snapshot->fill) {
                EvaluationSnapshot filled = *e->snapshot;
                filled.fill(filled);
                record = recordOf(filled);
            } else {
                record = recordOf(*e->snapshot);
            }
            record->programVersion = e->programVersion;
        } catch (...) {
            result->outcome = Outcome::Failed;
            return true;
        }
        // The same rows and parameters as last written (the window evaluated
        // again for another reason): the entry keeps its time.
        std::string written = record->rows;
        for (const RecordedInput& input : record->inputs)
            written += '\n' + input.text;
        if (const auto last = lastWritten_.find(record->evaluationKey);
            last != lastWritten_.end() && last->second == written) {
            result->outcome = Outcome::Written;
            return true;
        }
        if (const std::optional<std::int64_t> id = s.record(*record)) {
            ok = true;
            result->id = *id;
            lastWritten_[record->evaluationKey] = std::move(written);
        }
    } else if (const auto* n = std::get_if<HistoryWriter::Note>(&job)) {
        ok = s.setNote(n->id, n->note);
    } else {
        ok = s.clear();
        lastWritten_.clear();
    }
    if (!ok && s.lastWasBusy())
        return false;
    result->outcome = ok ? Outcome::Written : Outcome::Failed;
    return true;
}

void HistoryWriterWorker::drain()
{
    for (;;) {
        std::pair<std::uint64_t, HistoryWriter::Job> item;
        {
            QMutexLocker lock(&writer_.mutex_);
            if (writer_.queue_.empty())
                break;
            item = writer_.queue_.front();
        }
        Result result;
        if (!perform(item.second, &result)) {
            if (!busySince_.isValid())
                busySince_.start();
            {
                QMutexLocker lock(&writer_.mutex_);
                writer_.busy_ = true;
                writer_.answeredOnce_ = true;
                if (!lockReported_ && busySince_.elapsed() >= HistoryWriter::kLastingLockMs) {
                    lockReported_ = true;
                    writer_.notices_ << lockedNotice(writer_.path_, int(writer_.queue_.size()));
                }
                writer_.answered_.wakeAll();
            }
            emit writer_.changed();
            retryLater(true);
            return;
        }
        busySince_.invalidate();
        lockReported_ = false;
        retryMs_ = kFirstRetryMs;
        {
            QMutexLocker lock(&writer_.mutex_);
            writer_.queue_.pop_front();
            writer_.doneTicket_ = item.first;
            if (item.first == writer_.awaitedTicket_)
                writer_.awaitedResult_ = result;
            if (result.outcome == Outcome::Written && (std::holds_alternative<HistoryWriter::Record>(item.second) ||
                                                       std::holds_alternative<HistoryWriter::Evaluation>(item.second)))
                ++writer_.written_;
            writer_.busy_ = false;
            writer_.answeredOnce_ = true;
            writer_.clearingPending_ = store_->clearingPending();
            if (writer_.queue_.empty())
                writer_.fullReported_ = false;
            writer_.answered_.wakeAll();
        }
        emit writer_.changed();
    }
    // "Verlauf löschen" is finished as soon as the other reader lets go.
    if (store_ && store_->clearingPending()) {
        const bool done = store_->finishClearing();
        {
            QMutexLocker lock(&writer_.mutex_);
            writer_.clearingPending_ = !done;
        }
        if (done)
            emit writer_.changed();
        else
            retryLater(true);
    }
    if (store_)
        indexLater(kIndexIdleMs);
}

void HistoryWriterWorker::armTimer(QTimer*& timer, int ms, void (HistoryWriterWorker::*run)())
{
    if (!timer) {
        timer = new QTimer(this);
        timer->setSingleShot(true);
        QObject::connect(timer, &QTimer::timeout, this, run);
    }
    timer->start(ms);
}

void HistoryWriterWorker::indexLater(int ms) { armTimer(index_, ms, &HistoryWriterWorker::indexStep); }

void HistoryWriterWorker::indexStep()
{
    {
        // A job came meanwhile: its drain starts the pause again.
        QMutexLocker lock(&writer_.mutex_);
        if (!writer_.queue_.empty())
            return;
    }
    if (store_ && store_->indexSearch(kIndexStep))
        indexLater(kIndexPauseMs);
}

void HistoryWriterWorker::retryLater(bool again)
{
    armTimer(retry_, retryMs_, &HistoryWriterWorker::drain);
    if (again)
        retryMs_ = std::min(retryMs_ * 2, kMaxRetryMs);
}

HistoryWriter::HistoryWriter(QString path, HistoryStoreOptions options, QObject* parent)
    : QObject(parent), path_(std::move(path)), options_(options)
{
}

HistoryWriter::~HistoryWriter() { close(); }

HistoryStoreOptions HistoryWriter::writerOptions()
{
    HistoryStoreOptions o;
    // Long enough for another Orvella's commit (a millisecond), far below
    // a frame.
    o.busyTimeoutMs = 5;
    o.reportBusy = false;
    return o;
}

void HistoryWriter::start()
{
    if (worker_)
        return;
    worker_ = new HistoryWriterWorker(*this);
    worker_->moveToThread(&thread_);
    // Also when close() cannot reach the worker any more (the application
    // object being destroyed): its timers and its connection end on its own
    // thread, as the thread ends.
    connect(&thread_, &QThread::finished, worker_, [w = worker_] { w->stop(); }, Qt::DirectConnection);
    thread_.setObjectName(QStringLiteral("Verlauf-Schreiber"));
    thread_.start();
}

HistoryWriter::Outcome HistoryWriter::submit(Job job, int waitMs, std::int64_t* id)
{
    start();
    std::uint64_t ticket = 0;
    bool busy = false;
    {
        QMutexLocker lock(&mutex_);
        if (queue_.size() >= std::size_t(kMaxWaiting)) {
            if (!fullReported_) {
                fullReported_ = true;
                notices_ << queueFullNotice(path_, kMaxWaiting);
            }
            return Outcome::Failed;
        }
        ticket = nextTicket_++;
        queue_.emplace_back(ticket, std::move(job));
        if (waitMs >= 0) {
            awaitedTicket_ = ticket;
            awaitedResult_ = {};
        }
        busy = busy_;
    }
    // While the file is busy, the worker's own timer tries again.
    if (!busy)
        QMetaObject::invokeMethod(worker_, [w = worker_] { w->drain(); }, Qt::QueuedConnection);

    if (waitMs < 0)
        return Outcome::Waiting;
    QMutexLocker lock(&mutex_);
    const QDeadlineTimer deadline(answeredOnce_ ? waitMs : std::max(waitMs, kFirstAnswerMs));
    while (doneTicket_ < ticket && !busy_)
        if (!answered_.wait(&mutex_, deadline))
            break;
    if (doneTicket_ < ticket)
        return Outcome::Waiting;
    if (id)
        *id = awaitedResult_.id;
    return awaitedResult_.outcome;
}

HistoryWriter::Outcome HistoryWriter::record(const CalculationRecord& record, int waitMs, std::int64_t* id)
{
    return submit(Record{record}, waitMs, id);
}

HistoryWriter::Outcome HistoryWriter::setNote(std::int64_t id, const QString& note, int waitMs)
{
    return submit(Note{id, note}, waitMs, nullptr);
}

HistoryWriter::Outcome HistoryWriter::clear(int waitMs) { return submit(Clear{}, waitMs, nullptr); }

HistoryWriter::Outcome HistoryWriter::recordEvaluation(std::shared_ptr<const EvaluationSnapshot> snapshot,
                                                       std::string programVersion)
{
    {
        // The first job may be in the worker's hands already: only a later
        // one is replaced.
        QMutexLocker lock(&mutex_);
        for (std::size_t i = 1; i < queue_.size(); ++i)
            if (auto* queued = std::get_if<Evaluation>(&queue_[i].second);
                queued && queued->snapshot->key == snapshot->key) {
                queued->snapshot = std::move(snapshot);
                return Outcome::Waiting;
            }
    }
    return submit(Evaluation{std::move(snapshot), std::move(programVersion)}, -1, nullptr);
}

int HistoryWriter::waiting() const
{
    QMutexLocker lock(&mutex_);
    return int(queue_.size());
}

bool HistoryWriter::isBusy() const
{
    QMutexLocker lock(&mutex_);
    return busy_;
}

bool HistoryWriter::clearingPending() const
{
    QMutexLocker lock(&mutex_);
    return clearingPending_;
}

std::uint64_t HistoryWriter::written() const
{
    QMutexLocker lock(&mutex_);
    return written_;
}

QStringList HistoryWriter::takeNotices()
{
    QMutexLocker lock(&mutex_);
    return std::exchange(notices_, {});
}

void HistoryWriter::close(int waitMs)
{
    if (!worker_)
        return;
    {
        QMutexLocker lock(&mutex_);
        const QDeadlineTimer deadline(waitMs);
        while (!queue_.empty())
            if (!answered_.wait(&mutex_, deadline))
                break;
    }
    QMetaObject::invokeMethod(worker_, [w = worker_] { w->stop(); }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
    delete worker_;
    worker_ = nullptr;
}

}  // namespace orvella
