#include "core/document/Recovery.h"
#include "core/base/TextCut.h"

#include "core/base/EditPane.h"
#include "core/base/Prompts.h"
#include "core/document/FileCommands.h"
#include "core/document/TextCodec.h"
#include "core/res/Strings.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {
const QByteArray Magic = QByteArrayLiteral("Kumorial recovery ");
constexpr qsizetype MaxHeaderSize = 64 * 1024;

QByteArray field(const char* key, const QString& value)
{
    return QByteArray(key) + '=' + value.toUtf8().toPercentEncoding() + '\n';
}

QString timeText(const QDateTime& time)
{
    if (!time.isValid())
        return {};
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate);
}
} // namespace

QByteArray RecoveryCopy::encode() const
{
    const QByteArray body = text.toUtf8();
    QByteArray out = Magic + QByteArray::number(FormatVersion) + '\n';
    out += field("name", name);
    out += field("encoding", encoding);
    out += field("time", timeText(time));
    out += "length=" + QByteArray::number(body.size()) + '\n';
    out += "sha256=" + QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex() + '\n';
    out += '\n';
    out += body;
    return out;
}

ParsedRecoveryCopy RecoveryCopy::decode(QByteArrayView bytes)
{
    ParsedRecoveryCopy result;
    const qsizetype firstBreak = bytes.indexOf('\n');
    if (firstBreak < 0) {
        // A file cut inside its first line still shows how it began.
        const bool cut = Magic.startsWith(bytes) || bytes.startsWith(Magic);
        result.status = cut ? Status::Truncated : Status::Junk;
        return result;
    }
    const QByteArrayView first = bytes.first(firstBreak);
    if (!first.startsWith(Magic))
        return result;
    bool ok = false;
    const int version = first.sliced(Magic.size()).toInt(&ok);
    if (!ok || version < 1)
        return result;
    if (version > FormatVersion) {
        result.status = Status::NewerFormat;
        return result;
    }

    const qsizetype headerEnd = bytes.indexOf("\n\n");
    if (headerEnd < 0) {
        result.status = bytes.size() > MaxHeaderSize ? Status::Junk : Status::Truncated;
        return result;
    }
    QHash<QByteArray, QByteArray> fields;
    for (const QByteArray& line :
         bytes.sliced(firstBreak + 1, headerEnd - firstBreak - 1).toByteArray().split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0)
            return result;
        fields.insert(line.left(eq), QByteArray::fromPercentEncoding(line.mid(eq + 1)));
    }
    const QByteArray hash = fields.value("sha256");
    const qint64 length = fields.value("length").toLongLong(&ok);
    if (!ok || length < 0 || hash.size() != 64 || !fields.contains("encoding") || !fields.contains("time"))
        return result;

    const QByteArrayView body = bytes.sliced(headerEnd + 2);
    if (body.size() < length) {
        result.status = Status::Truncated;
        return result;
    }
    if (body.size() > length || QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex() != hash)
        return result;

    RecoveryCopy copy;
    copy.text = QString::fromUtf8(body);
    copy.name = QString::fromUtf8(fields.value("name"));
    copy.encoding = QString::fromUtf8(fields.value("encoding"));
    const QByteArray time = fields.value("time");
    if (!time.isEmpty()) {
        copy.time = QDateTime::fromString(QString::fromLatin1(time), Qt::ISODate);
        if (!copy.time.isValid())
            return result;
    }
    result.status = Status::Read;
    result.copy = std::move(copy);
    return result;
}

RecoveryStore::RecoveryStore(QString f) : folder(std::move(f)) {}

RecoveryStore::~RecoveryStore() = default;

QString RecoveryStore::slotFile(const QString& suffix) const
{
    QString name = QStringLiteral("Kumorial.recovery");
    if (slot > 0)
        name += u'.' + QString::number(slot);
    return QDir(folder).filePath(name + suffix);
}

bool RecoveryStore::open()
{
    if (isOpen())
        return true;
    for (int candidate = 0; candidate < SlotCount; ++candidate) {
        slot = candidate;
        auto attempt = std::make_unique<QLockFile>(slotFile(QStringLiteral(".lock")));
        // The lock lives as long as the program: only a dead owner makes it stale.
        attempt->setStaleLockTime(0);
        if (attempt->tryLock(0)) {
            lock = std::move(attempt);
            return true;
        }
        // A folder we cannot write gives the same answer for every slot.
        if (attempt->error() != QLockFile::LockFailedError)
            break;
    }
    slot = -1;
    return false;
}

void RecoveryStore::setAside(Prompts& prompts)
{
    QFile::remove(badPath());
    const QString where = QFile::rename(copyPath(), badPath()) ? badPath() : copyPath();
    prompts.messageBox(resString(Str::RecoverySetAside).arg(QDir::toNativeSeparators(where)),
                       Prompts::Buttons::Ok);
}

std::optional<RecoveryCopy> RecoveryStore::takeLeftCopy(Prompts& prompts)
{
    if (!isOpen())
        return {};
    const QFileInfo info(copyPath());
    if (!info.exists() && !info.isSymLink())
        return {};

    ParsedRecoveryCopy parsed;
    // Only a regular file is read, so that a FIFO or a device put there cannot hang us.
    QFile file(copyPath());
    if (TextCodec::FileCanBeRead(copyPath()) && info.size() <= MaxFileSize && file.open(QIODevice::ReadOnly))
        parsed = RecoveryCopy::decode(file.read(MaxFileSize + 1));
    file.close();
    if (parsed.status != RecoveryCopy::Status::Read) {
        setAside(prompts);
        return {};
    }

    const RecoveryCopy& copy = *parsed.copy;
    const QString name =
        copy.name.isEmpty() ? resString(Str::Untitled) : FileCommands::displayName(copy.name);
    const QString time = copy.time.isValid()
                             ? copy.time.toLocalTime().toString(QStringLiteral("yyyy/MM/dd HH:mm"))
                             : QString();
    if (prompts.messageBox(resString(Str::RecoveryQuestion).arg(name, time), Prompts::Buttons::YesNo) ==
        Prompts::Answer::Yes)
        return parsed.copy;
    // Kept aside rather than deleted, so that a wrong answer loses nothing.
    QFile::remove(backupPath());
    QFile::rename(copyPath(), backupPath());
    return {};
}

bool RecoveryStore::write(const RecoveryCopy& copy)
{
    return isOpen() && TextCodec::writeFileAtomically(copyPath(), copy.encode());
}

void RecoveryStore::remove()
{
    if (isOpen())
        QFile::remove(copyPath());
}

void RecoverySchedule::changed(qint64 now)
{
    if (!pending)
        firstChange = now;
    pending = true;
    lastChange = now;
}

bool RecoverySchedule::isDue(qint64 now) const
{
    if (!pending || inFlight || now < retryAt)
        return false;
    return now - lastChange >= timing.pause || now - firstChange >= timing.interval;
}

void RecoverySchedule::submitted()
{
    inFlight = true;
    pending = false;
    submittedFirst = firstChange;
    submittedLast = lastChange;
}

void RecoverySchedule::written()
{
    inFlight = false;
    retryAt = 0;
}

void RecoverySchedule::failed(qint64 now)
{
    inFlight = false;
    retryAt = now + timing.retry;
    if (!pending)
        lastChange = submittedLast;
    // The interval runs from the oldest change that is still in no copy.
    firstChange = submittedFirst;
    pending = true;
}

void RecoverySchedule::clear()
{
    pending = false;
    inFlight = false;
    retryAt = 0;
}

struct RecoveryWriter::State {
    enum class Job { None, Write, Remove };

    QString path;
    std::function<void()> ready;
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    Job waiting = Job::None;
    RecoveryCopy copy;
    quint64 ticket = 0;
    quint64 lastTicket = 0;
    bool busy = false;
    bool stopping = false;
    std::vector<Result> results;
    std::thread thread;
};

RecoveryWriter::RecoveryWriter(QString path, std::function<void()> ready) : state(std::make_shared<State>())
{
    state->path = std::move(path);
    state->ready = std::move(ready);
    // The thread holds the state, not the writer, so that it may outlive an exit that
    // could not wait for it.
    state->thread = std::thread([s = state] {
        std::unique_lock lock(s->mutex);
        for (;;) {
            s->wake.wait(lock, [&] { return s->waiting != State::Job::None || s->stopping; });
            if (s->waiting == State::Job::None)
                return;
            const State::Job job = std::exchange(s->waiting, State::Job::None);
            RecoveryCopy copy = std::move(s->copy);
            const quint64 ticket = s->ticket;
            s->busy = true;
            lock.unlock();
            bool written = false;
            if (job == State::Job::Write)
                written = TextCodec::writeFileAtomically(s->path, copy.encode());
            else
                QFile::remove(s->path);
            copy = {};
            lock.lock();
            s->busy = false;
            if (job == State::Job::Write) {
                s->results.push_back({ticket, written});
                // Under the lock, so that the owner cannot go while it is told.
                if (s->ready)
                    s->ready();
            }
            if (s->waiting == State::Job::None)
                s->idle.notify_all();
        }
    });
}

RecoveryWriter::~RecoveryWriter()
{
    const bool done = waitIdle(ExitWaitMs);
    {
        std::lock_guard lock(state->mutex);
        state->stopping = true;
        state->ready = nullptr;
    }
    state->wake.notify_one();
    if (done)
        state->thread.join();
    else
        state->thread.detach();
}

quint64 RecoveryWriter::write(RecoveryCopy copy)
{
    std::lock_guard lock(state->mutex);
    state->waiting = State::Job::Write;
    state->copy = std::move(copy);
    state->ticket = ++state->lastTicket;
    state->wake.notify_one();
    return state->ticket;
}

bool RecoveryWriter::remove(int waitMs)
{
    {
        std::lock_guard lock(state->mutex);
        state->waiting = State::Job::Remove;
        state->copy = {};
        state->wake.notify_one();
    }
    return waitIdle(waitMs);
}

std::vector<RecoveryWriter::Result> RecoveryWriter::takeResults()
{
    std::lock_guard lock(state->mutex);
    return std::exchange(state->results, {});
}

bool RecoveryWriter::waitIdle(int waitMs)
{
    std::unique_lock lock(state->mutex);
    return state->idle.wait_for(lock, std::chrono::milliseconds(waitMs),
                                [this] { return !state->busy && state->waiting == State::Job::None; });
}

DocumentRecovery::DocumentRecovery(RecoveryStore& s, FileCommands& f, EditPane& p, Clock c,
                                   RecoverySchedule::Timing timing, std::function<void()> ready)
    : store(s), files(f), pane(p), clock(std::move(c)), schedule(timing), resultsReady(std::move(ready))
{}

DocumentRecovery::~DocumentRecovery() = default;

void DocumentRecovery::changed()
{
    if (store.isOpen())
        schedule.changed(clock.elapsed());
}

void DocumentRecovery::tick()
{
    collect();
    if (!schedule.isDue(clock.elapsed()))
        return;
    if (!writer)
        writer = std::make_unique<RecoveryWriter>(store.copyPath(), resultsReady);
    // The text is shared, not copied: the writer's thread encodes it.
    RecoveryCopy copy;
    copy.text = pane.text();
    copy.name = files.filePath;
    copy.encoding = files.encoding.toString();
    const QDateTime time = clock.wallTime();
    // The offset is fixed here, so that the writer's thread needs no time-zone look-up.
    copy.time = time.isValid() ? time.toOffsetFromUtc(time.offsetFromUtc()) : time;
    schedule.submitted();
    awaited = writer->write(std::move(copy));
}

void DocumentRecovery::collect()
{
    if (!writer)
        return;
    for (const RecoveryWriter::Result& result : writer->takeResults()) {
        if (result.ticket != awaited)
            continue;
        awaited = 0;
        if (result.written)
            schedule.written();
        else
            schedule.failed(clock.elapsed());
    }
}

bool DocumentRecovery::waitForWriter(int waitMs)
{
    const bool idle = !writer || writer->waitIdle(waitMs);
    collect();
    return idle;
}

void DocumentRecovery::settled()
{
    schedule.clear();
    awaited = 0;
    if (writer)
        writer->remove(RemoveWaitMs);
    else
        store.remove();
}

void DocumentRecovery::restore(const RecoveryCopy& copy)
{
    pane.setText(fitToRoom(copy.text, pane.textLimit()).toString());
    files.filePath = copy.name;
    // A copy from a newer program may name an encoding this one lacks: the document's stays.
    if (const std::optional<DocumentEncoding> encoding = DocumentEncoding::fromString(copy.encoding))
        files.encoding = *encoding;
    files.fileTitle = copy.name.isEmpty() ? QString() : FileCommands::displayName(copy.name);
    files.SetDocumentTitle(files.fileTitle.isEmpty() ? resString(Str::Untitled) : files.fileTitle);
    files.modified = 1;
}

namespace {
bool samePath(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QFileInfo first(a), second(b);
    if (first.exists() && second.exists())
        return first.canonicalFilePath() == second.canonicalFilePath();
    return QDir::cleanPath(first.absoluteFilePath()) == QDir::cleanPath(second.absoluteFilePath());
}
} // namespace

void DocumentRecovery::restore(const RecoveryCopy& copy, const QString& namedFile, Prompts& prompts)
{
    restore(copy);
    if (!namedFile.isEmpty() && !samePath(namedFile, copy.name))
        prompts.messageBox(resString(Str::RecoverySkipFile).arg(QDir::toNativeSeparators(namedFile)),
                           Prompts::Buttons::Ok);
}

void DocumentRecovery::finish()
{
    schedule.clear();
    awaited = 0;
    if (writer)
        writer->remove(RecoveryWriter::ExitWaitMs);
    else
        store.remove();
}
