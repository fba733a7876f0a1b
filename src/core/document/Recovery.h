#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QLockFile>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class EditPane;
class FileCommands;
class Prompts;
struct ParsedRecoveryCopy;

// What a recovery copy holds: the pane's whole text and what is needed to give it back
// as the document it was.
struct RecoveryCopy {
    static constexpr int FormatVersion = 1;
    static inline const QString DefaultEncoding = QStringLiteral("Shift_JIS");

    QString text;
    // The document's path; empty for an untitled document.
    QString name;
    QString encoding = DefaultEncoding;
    QDateTime time;

    friend bool operator==(const RecoveryCopy&, const RecoveryCopy&) = default;

    enum class Status { Read, Truncated, Junk, NewerFormat };

    // A header of "key=value" lines, the length and SHA-256 of the UTF-8 body among them,
    // then a blank line and the body: a cut or damaged file never passes for a whole one.
    QByteArray encode() const;
    static ParsedRecoveryCopy decode(QByteArrayView bytes);
};

struct ParsedRecoveryCopy {
    RecoveryCopy::Status status = RecoveryCopy::Status::Junk;
    std::optional<RecoveryCopy> copy;
};

// The recovery files of one running copy of the program, in the settings folder: the
// copy itself, the one backup a "No" keeps, and the one bad file that was set aside.
// Every running copy locks a slot of its own, so that no copy is ever taken from a
// program that still runs.
class RecoveryStore {
public:
    static constexpr int SlotCount = 8;
    // Larger files were not written by us: a full pane is about 3 MB of UTF-8.
    static constexpr qint64 MaxFileSize = 16 * 1024 * 1024;

    explicit RecoveryStore(QString folder);
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    // Locks the first free slot; false when none can be had (the folder cannot be written,
    // or every slot is held), and then nothing is ever written.
    bool open();
    bool isOpen() const { return slot >= 0; }

    QString copyPath() const { return slotFile(QString()); }
    QString backupPath() const { return slotFile(QStringLiteral(".bak")); }
    QString badPath() const { return slotFile(QStringLiteral(".bad")); }

    // A copy left in our slot by a run that did not end normally. Asks whether to restore
    // it: Yes gives it back, and it stays as our copy until the text is saved or let go;
    // No moves it to the backup, replacing an earlier one. A file that cannot be read is
    // set aside as the bad file, with a message.
    std::optional<RecoveryCopy> takeLeftCopy(Prompts& prompts);

    bool write(const RecoveryCopy& copy);
    void remove();

private:
    QString slotFile(const QString& suffix) const;
    void setAside(Prompts& prompts);

    QString folder;
    int slot = -1;
    std::unique_ptr<QLockFile> lock;
};

// When the copy is due: `pause` after the last change, and at the latest `interval` after
// the first change not yet in a copy; after a failed write, not before `retry` has passed.
class RecoverySchedule {
public:
    struct Timing {
        qint64 pause = 3000;
        qint64 interval = 30000;
        qint64 retry = 10000;
    };

    explicit RecoverySchedule(Timing timing) : timing(timing) {}

    void changed(qint64 now);
    bool isDue(qint64 now) const;
    // Changes not yet in a copy on disk, or a copy on its way there.
    bool isPending() const { return pending || inFlight; }
    // A copy of the changes so far went to the writer; changes from now on need another.
    void submitted();
    void written();
    // The changes of the failed copy are due again after `retry`.
    void failed(qint64 now);
    // The changes need no copy any more: saved or let go.
    void clear();

private:
    Timing timing;
    bool pending = false;
    bool inFlight = false;
    qint64 firstChange = 0;
    qint64 lastChange = 0;
    qint64 submittedFirst = 0;
    qint64 submittedLast = 0;
    qint64 retryAt = 0;
};

// Writes and removes the recovery copy on a thread of its own, so that typing never waits
// for the disk. One job runs at a time and jobs run in the order given; a newer job
// replaces one still waiting. A removal therefore always comes after any write given
// before it, and no stale copy outlives it.
class RecoveryWriter {
public:
    struct Result {
        quint64 ticket = 0;
        bool written = false;
    };

    // `ready` runs on the writer's thread whenever a result can be taken; it must only
    // hand over to the thread that owns the writer.
    explicit RecoveryWriter(QString path, std::function<void()> ready = {});
    // Waits for the jobs given, at most `ExitWaitMs`; a write stuck on the disk beyond that
    // is left to end on its own rather than hang the exit.
    ~RecoveryWriter();
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;

    static constexpr int ExitWaitMs = 5000;

    // Queues the copy; returns the ticket its result will carry.
    quint64 write(RecoveryCopy copy);
    // Queues the removal of the copy and waits for it at most `waitMs`.
    bool remove(int waitMs);
    std::vector<Result> takeResults();
    // True once every job given has run; false after `waitMs`.
    bool waitIdle(int waitMs);

private:
    struct State;
    std::shared_ptr<State> state;
};

// Keeps the recovery copy of the one document in step with its edits and file commands.
class DocumentRecovery {
public:
    struct Clock {
        // Milliseconds on a steady clock.
        std::function<qint64()> elapsed;
        std::function<QDateTime()> wallTime;
    };

    // `resultsReady` runs on the writer's thread when `collect` has something to take.
    DocumentRecovery(RecoveryStore& store, FileCommands& files, EditPane& pane, Clock clock,
                     RecoverySchedule::Timing timing, std::function<void()> resultsReady = {});
    ~DocumentRecovery();

    // Long enough for one write of a full pane on a slow disk; saving waits no longer.
    static constexpr int RemoveWaitMs = 2000;

    // The pane's text was edited.
    void changed();
    // Hands a snapshot of the text to the writer when a copy is due.
    void tick();
    // Takes the writer's results: a failed write is tried again later, silently.
    void collect();
    // Waits for the writer at most `waitMs`, then collects; false when it is still busy.
    bool waitForWriter(int waitMs);
    // The text was saved or replaced: its copy goes.
    void settled();
    // Puts a restored copy into the pane as a modified document under its old name.
    void restore(const RecoveryCopy& copy);
    // The same at start-up, in place of `namedFile` from the command line: the restored
    // text is the unsaved work and wins, but a file other than the copy's own is not
    // dropped unseen.
    void restore(const RecoveryCopy& copy, const QString& namedFile, Prompts& prompts);
    // A normal end of the run: the copy goes, waiting for the writer at most its exit bound.
    void finish();

    bool isPending() const { return schedule.isPending(); }

private:
    RecoveryStore& store;
    FileCommands& files;
    EditPane& pane;
    Clock clock;
    RecoverySchedule schedule;
    std::function<void()> resultsReady;
    std::unique_ptr<RecoveryWriter> writer;
    // The write whose result counts; 0 when none, or when the text settled after it went.
    quint64 awaited = 0;
};
