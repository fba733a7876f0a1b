#pragma once

#include <QByteArray>
#include <QString>
#include <array>

class EditPane;
class Prompts;

// Moves a document between a file (code page 932, CR LF line breaks, at most 32768 bytes)
// and the edit pane. Failures are told to the user here; the results only let the file
// commands keep their state right.
class TextCodec {
public:
    static constexpr qsizetype SizeLimit = 0x8000;

    enum class SaveResult { Saved, Cancelled, Failed };

    // Replaces the pane's text with the file's and sets `modified` to 1; false (message 104)
    // when the file cannot be read, with nothing changed.
    bool LoadTextFile(EditPane& pane, Prompts& prompts, const QString& path, int& modified);
    // Writes the pane's text and sets `modified` to 0. The old file is replaced only by a
    // complete new one; any write error gives message 103 and changes nothing.
    SaveResult SaveTextFile(EditPane& pane, Prompts& prompts, const QString& path, int& modified);

    // Writes `bytes` unchanged with the save's own writer: a regular file is replaced only by a
    // complete new one. False on any error, with nothing told to the user.
    static bool writeFileAtomically(const QString& path, QByteArrayView bytes);

    // True when `path` is a regular file that can be opened for reading; nothing is read.
    static bool FileCanBeRead(const QString& path);

    // The length of the longest prefix of `bytes` (code page 932) that fits into `limit`
    // bytes without splitting a double-byte character or a CR LF pair.
    static qsizetype wholeCharacterPrefix(QByteArrayView bytes, qsizetype limit);

private:
    // The kept text bytes, the one extra byte a final line break can add, and a zero.
    std::array<char, SizeLimit + 2> fileBuffer{};
    // The pane's text in the code page; kept between saves so that its memory is reused.
    QByteArray encoded;
};
