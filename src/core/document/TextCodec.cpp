#include "core/document/TextCodec.h"

#include "core/base/CodePage.h"
#include "core/base/EditPane.h"
#include "core/base/Prompts.h"
#include "core/document/Encoding.h"
#include "core/res/Strings.h"

#include <QFile>
#include <QFileInfo>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Read once before main, while only one thread runs: umask can only be read by setting
// it, and the recovery writer saves files on a thread of its own.
const mode_t processUmask = [] {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}();

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

// A device, FIFO or other special file is written in place: renaming a new file over it
// would replace the device itself.
bool writeSpecialFile(const QString& path, QByteArrayView bytes)
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
    const bool written = writeAll(file.get(), bytes.data(), bytes.size());
    return file.close() && written;
}

// The new text goes to a temporary file beside the target, which replaces the old file only
// once every byte is on disk: a failed save leaves the old file as it was. A symbolic link
// is followed, so the link stays and its target gets the text; the old file's permissions
// (and, where allowed, its owner) carry over.
bool replaceRegularFile(const QString& path, QByteArrayView bytes)
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
        mode = 0666 & ~processUmask;
    }
    const bool written = ::fchmod(file.get(), mode) == 0 &&
                         writeAll(file.get(), bytes.data(), bytes.size()) && ::fsync(file.get()) == 0;
    if (!file.close() || !written || ::rename(temporary.constData(), targetName.constData()) != 0) {
        ::unlink(temporary.constData());
        return false;
    }
    return true;
}

bool writeFile(const QString& path, QByteArrayView bytes)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return writeSpecialFile(path, bytes);
    return replaceRegularFile(path, bytes);
}

// Code page 932 as the original reader took it: CR LF arrives as LF, a lone CR as CR, 0x1A
// ends the data, and every LF is stored after a CR; the limit counts the stored bytes.
TextCodec::Decoded decodeShiftJis(QByteArrayView raw, qsizetype limit)
{
    // The kept text bytes, the one extra byte a final line break can add, and a zero. Each
    // byte taken adds at least one byte to the count, so ReadSize bytes always reach the
    // limit; their end is the end of the file whenever the limit is not reached.
    std::array<char, TextCodec::SizeLimit + 2> fileBuffer;
    char* const buffer = fileBuffer.data();
    qsizetype count = 0;
    // A byte is appended, an LF after its CR; true while there is room for more.
    const auto put = [&](char b) {
        if (b == '\n')
            buffer[count++] = '\r';
        buffer[count++] = b;
        return count < limit;
    };
    bool pendingCr = false;
    bool full = false;
    for (const char b : raw) {
        if (full)
            break;
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
    fileBuffer[count] = 0;
    // A zero byte ends the text, though the bytes after it counted towards the limit.
    const void* zero = std::memchr(fileBuffer.data(), 0, size_t(count) + 1);
    const qsizetype textLength = static_cast<const char*>(zero) - fileBuffer.data();
    // Ill-formed bytes decode to "?" (see CodePage); decoding never fails.
    return {CodePage::toUnicode(QByteArrayView(fileBuffer.data(), textLength)), DocumentEncoding::shiftJis(),
            full};
}

TextCodec::Decoded decodeUnicodeOrEucJp(QByteArrayView raw, DocumentEncoding encoding, qsizetype bomLength,
                                        qsizetype limit)
{
    using Kind = DocumentEncoding::Kind;
    QByteArrayView data = raw.sliced(bomLength);
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
    bool cut = false;
    if (bomLength + data.size() > limit) {
        data.truncate(Encodings::wholeCharacterPrefix(data, encoding.kind, limit - bomLength));
        cut = true;
    }
    QString text = Encodings::decode(data, encoding.kind);
    // A zero character ends the text, as a zero byte does in the code page.
    if (const qsizetype zero = text.indexOf(QChar(0)); zero >= 0)
        text.truncate(zero);
    encoding.lineBreak = Encodings::lineBreakOf(text);
    return {Encodings::toPaneText(text), encoding, cut};
}
} // namespace

TextCodec::Decoded TextCodec::decode(QByteArrayView bytes, std::optional<DocumentEncoding::Kind> chosen,
                                     qsizetype limit)
{
    using Kind = DocumentEncoding::Kind;
    limit = std::clamp(limit, qsizetype(1), SizeLimit); // the reader's buffer holds no more
    // A file of ReadSize bytes or more may go on past them: a character cut at their end is
    // no error to the detector.
    const QByteArrayView head = bytes.first(std::min(bytes.size(), ReadSize));
    DocumentEncoding found;
    if (!chosen) {
        found = Encodings::detect(head, bytes.size() >= ReadSize);
    } else {
        found.kind = *chosen;
        if (found.kind == Kind::Utf8)
            found.bom = head.startsWith("\xEF\xBB\xBF");
        else if (found.kind == Kind::Utf16Le && head.startsWith("\xFE\xFF"))
            found.kind = Kind::Utf16Be;
        else if (found.kind == Kind::Utf16Be && head.startsWith("\xFF\xFE"))
            found.kind = Kind::Utf16Le;
    }
    if (found.kind == Kind::ShiftJis)
        return decodeShiftJis(head, limit);
    const QByteArrayView bom = Encodings::bomBytes(found);
    return decodeUnicodeOrEucJp(head, found, head.startsWith(bom) ? bom.size() : 0, limit);
}

void TextCodec::encode(QStringView paneText, const DocumentEncoding& encoding, QByteArray& out)
{
    if (encoding.kind == DocumentEncoding::Kind::ShiftJis)
        CodePage::appendFromUnicode(paneText, out);
    else
        out += Encodings::fileBytes(paneText, encoding);
}

qsizetype TextCodec::keptLength(QByteArrayView encoded, const DocumentEncoding& encoding, qsizetype limit)
{
    if (encoded.size() <= limit)
        return encoded.size();
    if (encoding.kind == DocumentEncoding::Kind::ShiftJis)
        return wholeCharacterPrefix(encoded, limit);
    const qsizetype bom = Encodings::bomBytes(encoding).size();
    return bom + Encodings::wholeCharacterPrefix(encoded.sliced(bom), encoding.kind, limit - bom);
}

QByteArray TextCodec::fileBytes(QByteArrayView encoded, const DocumentEncoding& encoding)
{
    if (encoding.kind != DocumentEncoding::Kind::ShiftJis)
        return encoded.toByteArray();
    QByteArray out(encoded.size() * 2, Qt::Uninitialized);
    char* to = out.data();
    for (const char b : encoded) {
        if (b == '\r')
            continue;
        if (b == '\n')
            *to++ = '\r';
        *to++ = b;
    }
    out.resize(to - out.constData());
    return out;
}

bool TextCodec::readHead(Prompts& prompts, const QString& path)
{
    FileHandle file(openRegularForReading(path));
    if (file.get() < 0) {
        prompts.messageBox(resString(Str::CannotLoad), Prompts::Buttons::Ok);
        return false;
    }
    raw.resize(ReadSize);
    qsizetype size = 0;
    while (size < ReadSize) {
        const ssize_t got = ::read(file.get(), raw.data() + size, size_t(ReadSize - size));
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
    if (!readHead(prompts, path))
        return false;
    Decoded decoded = decode(raw, chosen);
    if (decoded.cut)
        prompts.messageBox(resString(Str::LoadTooLarge), Prompts::Buttons::Ok);
    pane.setText(decoded.text);
    encoding = decoded.encoding;
    modified = 1;
    return true;
}

TextCodec::SaveResult TextCodec::SaveTextFile(EditPane& pane, Prompts& prompts, const QString& path,
                                              int& modified)
{
    return SaveTextFile(pane, prompts, path, modified, DocumentEncoding::shiftJis());
}

TextCodec::SaveResult TextCodec::SaveTextFile(EditPane& pane, Prompts& prompts, const QString& path,
                                              int& modified, const DocumentEncoding& encoding)
{
    encoded.resize(0);
    encode(pane.text(), encoding, encoded);
    if (encoded.size() > SizeLimit &&
        prompts.messageBox(resString(Str::SaveTooLarge), Prompts::Buttons::OkCancel) != Prompts::Answer::Ok)
        return SaveResult::Cancelled;
    const qsizetype n = keptLength(encoded, encoding);
    if (!writeFile(path, fileBytes(QByteArrayView(encoded).first(n), encoding))) {
        prompts.messageBox(resString(Str::CannotSave), Prompts::Buttons::Ok);
        return SaveResult::Failed;
    }
    modified = 0;
    return SaveResult::Saved;
}

bool TextCodec::writeFileAtomically(const QString& path, QByteArrayView bytes)
{
    return writeFile(path, bytes);
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
    const uchar* data = reinterpret_cast<const uchar*>(bytes.data());
    qsizetype i = 0;
    while (i < bytes.size()) {
        const qsizetype width = isLeadByte(data[i]) && i + 1 < bytes.size() ? 2 : 1;
        if (i + width > limit)
            break;
        i += width;
    }
    if (i > 0 && i < bytes.size() && bytes[i - 1] == '\r' && bytes[i] == '\n')
        --i;
    return i;
}
