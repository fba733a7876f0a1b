#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QLockFile>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

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
    bool isPending() const { return pending; }
    void written();
    void failed(qint64 now);
    // The changes need no copy any more: saved or let go.
    void clear();

private:
    Timing timing;
    bool pending = false;
    qint64 firstChange = 0;
    qint64 lastChange = 0;
    qint64 retryAt = 0;
};

// Keeps the recovery copy of the one document in step with its edits and file commands.
class DocumentRecovery {
public:
    struct Clock {
        // Milliseconds on a steady clock.
        std::function<qint64()> elapsed;
        std::function<QDateTime()> wallTime;
    };

    DocumentRecovery(RecoveryStore& store, FileCommands& files, EditPane& pane, Clock clock,
                     RecoverySchedule::Timing timing);

    // The pane's text was edited.
    void changed();
    // Writes the copy when it is due; a failed write is tried again later, silently.
    void tick();
    // The text was saved or replaced: its copy goes.
    void settled();
    // Puts a restored copy into the pane as a modified document under its old name.
    void restore(const RecoveryCopy& copy);
    // A normal end of the run.
    void finish();

    bool isPending() const { return schedule.isPending(); }

private:
    RecoveryStore& store;
    FileCommands& files;
    EditPane& pane;
    Clock clock;
    RecoverySchedule schedule;
};
