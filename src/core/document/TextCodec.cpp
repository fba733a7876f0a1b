#include "core/document/TextCodec.h"

#include "core/base/CodePage.h"
#include "core/base/EditPane.h"
#include "core/base/Prompts.h"
#include "core/document/Encoding.h"
#include "core/res/Strings.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
class FileHandle {
public:
    explicit FileHandle(int fd) : fd(fd) {}
    ~FileHandle()
    {
        if (fd >= 0)
            ::close(fd);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int get() const { return fd; }
    // Closes now, reporting the error a deferred write may only show here.
    bool close()
    {
        const int f = fd;
        fd = -1;
        return ::close(f) == 0;
    }

private:
    int fd;
};

// Non-blocking, so that a FIFO without a writer cannot hang the program; such files are
// refused afterwards anyway, a document is a regular file.
int openRegularForReading(const QString& path)
{
    if (path.isEmpty())
        return -1;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool isLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Writes `bytes` with every CR dropped and every LF as CR LF, through a bounded chunk; bytes
// that are already in their file form go as they are.
template <typename Sink> bool writeWithLineBreaks(QByteArrayView bytes, bool asFileBytes, Sink&& sink)
{
    if (asFileBytes)
        return bytes.isEmpty() || sink(bytes.data(), bytes.size());
    char chunk[4096];
    qsizetype used = 0;
    for (const char b : bytes) {
        if (b == '\r')
            continue;
        if (used + 2 > qsizetype(sizeof chunk)) {
            if (!sink(chunk, used))
                return false;
            used = 0;
        }
        if (b == '\n')
            chunk[used++] = '\r';
        chunk[used++] = b;
    }
    return used == 0 || sink(chunk, used);
}

bool writeAll(int fd, const char* data, qsizetype size)
{
    while (size > 0) {
        const ssize_t put = ::write(fd, data, size_t(size));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += put;
        size -= put;
    }
    return true;
}

// `lineBreaks`: every CR dropped and every LF written as CR LF; otherwise the bytes as they are.
bool writeBytes(int fd, QByteArrayView bytes, bool lineBreaks)
{
    return writeWithLineBreaks(bytes, !lineBreaks,
                               [&](const char* data, qsizetype size) { return writeAll(fd, data, size); });
}

// A device, FIFO or other special file is written in place: renaming a new file over it
// would replace the device itself.
bool writeSpecialFile(const QString& path, QByteArrayView bytes, bool lineBreaks)
{
    FileHandle file(::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0)
        return false;
    struct stat st {};
    if (::fstat(file.get(), &st) != 0 || S_ISDIR(st.st_mode) || S_ISREG(st.st_mode))
        return false;
    const int flags = ::fcntl(file.get(), F_GETFL);
    if (flags < 0 || ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK) < 0)
        return false;
    const bool written = writeBytes(file.get(), bytes, lineBreaks);
    return file.close() && written;
}

// The new text goes to a temporary file beside the target, which replaces the old file only
// once every byte is on disk: a failed save leaves the old file as it was. A symbolic link
// is followed, so the link stays and its target gets the text; the old file's permissions
// (and, where allowed, its owner) carry over.
bool replaceRegularFile(const QString& path, QByteArrayView bytes, bool lineBreaks)
{
    const QFileInfo info(path);
    QString target = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    if (!info.exists() && info.isSymLink())
        target = info.symLinkTarget();
    const QByteArray targetName = QFile::encodeName(target);
    struct stat old {};
    const bool exists = ::stat(targetName.constData(), &old) == 0;
    // A file that grants nobody write permission stays read-only also for the superuser.
    if (exists && ((old.st_mode & 0222) == 0 || ::access(targetName.constData(), W_OK) != 0))
        return false;

    const QFileInfo targetInfo(target);
    QByteArray temporary = QFile::encodeName(targetInfo.absolutePath() + QStringLiteral("/.") +
                                             targetInfo.fileName() + QStringLiteral(".XXXXXX"));
    FileHandle file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (file.get() < 0)
        return false;
    mode_t mode = 0;
    if (exists) {
        mode = old.st_mode & 07777;
        if (::fchown(file.get(), old.st_uid, old.st_gid) != 0) {
            // Not ours to give away: the file becomes the user's own, as any new file.
        }
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    const bool written = ::fchmod(file.get(), mode) == 0 && writeBytes(file.get(), bytes, lineBreaks) &&
                         ::fsync(file.get()) == 0;
    if (!file.close() || !written || ::rename(temporary.constData(), targetName.constData()) != 0) {
        ::unlink(temporary.constData());
        return false;
    }
    return true;
}

bool writeFile(const QString& path, QByteArrayView bytes, bool lineBreaks)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return writeSpecialFile(path, bytes, lineBreaks);
    return replaceRegularFile(path, bytes, lineBreaks);
}
} // namespace

bool TextCodec::readHead(Prompts& prompts, const QString& path)
{
    FileHandle file(openRegularForReading(path));
    if (file.get() < 0) {
        prompts.messageBox(resString(Str::CannotLoad), Prompts::Buttons::Ok);
        return false;
    }
    raw.resize(HeadSize);
    qsizetype size = 0;
    while (size < HeadSize) {
        const ssize_t got = ::read(file.get(), raw.data() + size, size_t(HeadSize - size));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            prompts.messageBox(resString(Str::CannotLoad), Prompts::Buttons::Ok);
            return false;
        }
        if (got == 0)
            break;
        size += got;
    }
    raw.resize(size);
    return true;
}

bool TextCodec::LoadTextFile(EditPane& pane, Prompts& prompts, const QString& path, int& modified)
{
    DocumentEncoding encoding;
    return LoadTextFile(pane, prompts, path, modified, encoding, DocumentEncoding::Kind::ShiftJis);
}

bool TextCodec::LoadTextFile(EditPane& pane, Prompts& prompts, const QString& path, int& modified,
                             DocumentEncoding& encoding, std::optional<DocumentEncoding::Kind> chosen)
{
    using Kind = DocumentEncoding::Kind;
    if (!readHead(prompts, path))
        return false;
    DocumentEncoding found;
    if (!chosen) {
        found = Encodings::detect(raw, raw.size() == HeadSize);
    } else {
        found.kind = *chosen;
        if (found.kind == Kind::Utf8)
            found.bom = raw.startsWith("\xEF\xBB\xBF");
        else if (found.kind == Kind::Utf16Le && raw.startsWith("\xFE\xFF"))
            found.kind = Kind::Utf16Be;
        else if (found.kind == Kind::Utf16Be && raw.startsWith("\xFF\xFE"))
            found.kind = Kind::Utf16Le;
    }
    const QByteArrayView bom = Encodings::bomBytes(found);
    const qsizetype bomLength = raw.startsWith(bom) ? bom.size() : 0;
    if (found.kind == Kind::ShiftJis)
        loadShiftJis(pane, prompts);
    else
        loadUnicodeOrEucJp(pane, prompts, found, bomLength);
    encoding = found;
    modified = 1;
    return true;
}

void TextCodec::loadShiftJis(EditPane& pane, Prompts& prompts)
{
    // Each byte taken adds at least one byte to the count, so the head always holds enough
    // for the limit; its end is the end of the file whenever the limit is not reached.
    qsizetype count = 0;
    // A byte is appended, an LF after its CR; true while there is room for more.
    const auto put = [&](char b) {
        if (b == '\n')
            fileBuffer[count++] = '\r';
        fileBuffer[count++] = b;
        return count < SizeLimit;
    };
    bool pendingCr = false;
    bool full = false;
    for (qsizetype i = 0; i < raw.size() && !full; ++i) {
        const char b = raw[i];
        if (pendingCr) {
            pendingCr = false;
            if (b == '\n') {
                full = !put('\n');
                continue;
            }
            if (!put('\r')) {
                full = true;
                break;
            }
        }
        if (b == 0x1A)
            break;
        if (b == '\r')
            pendingCr = true;
        else
            full = !put(b);
    }
    if (pendingCr && !full)
        full = !put('\r');
    if (full)
        prompts.messageBox(resString(Str::LoadTooLarge), Prompts::Buttons::Ok);
    fileBuffer[count] = 0;
    // A zero byte ends the text, though the bytes after it counted towards the limit.
    const void* zero = std::memchr(fileBuffer.data(), 0, size_t(count) + 1);
    const qsizetype textLength = static_cast<const char*>(zero) - fileBuffer.data();
    // Ill-formed bytes decode to "?" (see CodePage); decoding never fails.
    pane.setText(CodePage::toUnicode(QByteArrayView(fileBuffer.data(), textLength)));
}

void TextCodec::loadUnicodeOrEucJp(EditPane& pane, Prompts& prompts, DocumentEncoding& encoding,
                                   qsizetype bomLength)
{
    using Kind = DocumentEncoding::Kind;
    QByteArrayView data = QByteArrayView(raw).sliced(bomLength);
    // Ctrl+Z ends the data as in a Shift_JIS file: the byte, or in UTF-16 the code unit.
    if (encoding.kind == Kind::Utf16Le || encoding.kind == Kind::Utf16Be) {
        const bool le = encoding.kind == Kind::Utf16Le;
        for (qsizetype i = 0; i + 1 < data.size(); i += 2)
            if (data[i + (le ? 0 : 1)] == 0x1A && data[i + (le ? 1 : 0)] == 0) {
                data.truncate(i);
                break;
            }
    } else if (const qsizetype end = data.indexOf('\x1A'); end >= 0) {
        data.truncate(end);
    }
    // Unlike the code page's count this one says "cut" only when something is cut.
    if (bomLength + data.size() > SizeLimit) {
        data.truncate(Encodings::wholeCharacterPrefix(data, encoding.kind, SizeLimit - bomLength));
        prompts.messageBox(resString(Str::LoadTooLarge), Prompts::Buttons::Ok);
    }
    QString text = Encodings::decode(data, encoding.kind);
    // A zero character ends the text, as a zero byte does in the code page.
    if (const qsizetype zero = text.indexOf(QChar(0)); zero >= 0)
        text.truncate(zero);
    encoding.lineBreak = Encodings::lineBreakOf(text);
    pane.setText(Encodings::toPaneText(text));
}

TextCodec::SaveResult TextCodec::SaveTextFile(EditPane& pane, Prompts& prompts, const QString& path,
                                              int& modified)
{
    return SaveTextFile(pane, prompts, path, modified, DocumentEncoding::shiftJis());
}

TextCodec::SaveResult TextCodec::SaveTextFile(EditPane& pane, Prompts& prompts, const QString& path,
                                              int& modified, const DocumentEncoding& encoding)
{
    const bool codePage = encoding.kind == DocumentEncoding::Kind::ShiftJis;
    encoded.resize(0);
    if (codePage)
        CodePage::appendFromUnicode(pane.text(), encoded);
    else
        encoded = Encodings::fileBytes(pane.text(), encoding);
    qsizetype n = encoded.size();
    if (n > SizeLimit) {
        if (prompts.messageBox(resString(Str::SaveTooLarge), Prompts::Buttons::OkCancel) !=
            Prompts::Answer::Ok)
            return SaveResult::Cancelled;
        if (codePage) {
            n = wholeCharacterPrefix(encoded, SizeLimit);
        } else {
            const qsizetype bom = Encodings::bomBytes(encoding).size();
            n = bom + Encodings::wholeCharacterPrefix(QByteArrayView(encoded).sliced(bom), encoding.kind,
                                                      SizeLimit - bom);
        }
    }
    bool written = false;
    if (codePage) {
        std::memcpy(fileBuffer.data(), encoded.constData(), size_t(n));
        written = writeFile(path, QByteArrayView(fileBuffer.data(), n), true);
    } else {
        written = writeFile(path, QByteArrayView(encoded).first(n), false);
    }
    if (!written) {
        prompts.messageBox(resString(Str::CannotSave), Prompts::Buttons::Ok);
        return SaveResult::Failed;
    }
    modified = 0;
    return SaveResult::Saved;
}

bool TextCodec::writeFileAtomically(const QString& path, QByteArrayView bytes)
{
    return writeFile(path, bytes, false);
}

bool TextCodec::FileCanBeRead(const QString& path)
{
    FileHandle file(openRegularForReading(path));
    return file.get() >= 0;
}

qsizetype TextCodec::wholeCharacterPrefix(QByteArrayView bytes, qsizetype limit)
{
    // Text encoded from the pane has one- and two-byte characters only, so a walk from the
    // start finds every character boundary.
    qsizetype i = 0;
    while (i < bytes.size()) {
        const qsizetype width = isLeadByte(uchar(bytes[i])) && i + 1 < bytes.size() ? 2 : 1;
        if (i + width > limit)
            break;
        i += width;
    }
    if (i > 0 && i < bytes.size() && bytes[i - 1] == '\r' && bytes[i] == '\n')
        --i;
    return i;
}
