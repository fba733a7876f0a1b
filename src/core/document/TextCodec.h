#pragma once

#include "core/document/Encoding.h"

#include <QByteArray>
#include <QString>
#include <optional>

class EditPane;
class Prompts;

// Moves a document between a file (at most 32768 bytes) and the edit pane. A Shift_JIS
// document (code page 932) is written with CR LF line breaks; the other encodings keep the
// line breaks and the byte-order mark of their document. Failures are told to the user here; the results only
// let the file commands keep their state right.
class TextCodec {
public:
    static constexpr qsizetype SizeLimit = 0x8000;

    enum class SaveResult { Saved, Cancelled, Failed };

    // What a document's bytes give the pane.
    struct Decoded {
        QString text; // line breaks as CR LF
        DocumentEncoding encoding;
        bool cut = false; // the limit was reached (message 106)
    };

    // The pure halves of a load and a save: bytes to pane text and back, without files or
    // questions. Only the first ReadSize bytes of a file matter to a load. A smaller `limit`
    // than the documents' own takes the same paths with less text (the fuzzer's use).
    static constexpr qsizetype ReadSize = SizeLimit + 8;
    // The text of a file whose first bytes are `bytes`, read in `chosen` or, when none is
    // chosen, in the detected encoding.
    static Decoded decode(QByteArrayView bytes, std::optional<DocumentEncoding::Kind> chosen,
                          qsizetype limit = SizeLimit);
    // The bytes the limit counts for a save of `paneText`, before any cut. Appended to `out`.
    static void encode(QStringView paneText, const DocumentEncoding& encoding, QByteArray& out);
    // How many of `encoded` a save keeps once the user allowed the cut: the longest prefix
    // within the limit that splits no character, surrogate pair or CR LF.
    static qsizetype keptLength(QByteArrayView encoded, const DocumentEncoding& encoding,
                                qsizetype limit = SizeLimit);
    // What goes into the file for `encoded` (or a kept prefix of it): the code page has its
    // CRs dropped and every LF written as CR LF; the other encodings are written as they are.
    static QByteArray fileBytes(QByteArrayView encoded, const DocumentEncoding& encoding);

    // Replaces the pane's text with the file's and sets `modified` to 1; false (message 104)
    // when the file cannot be read, with nothing changed.
    bool LoadTextFile(EditPane& pane, Prompts& prompts, const QString& path, int& modified);
    // The same in the encoding `chosen`, or the detected one; on success `encoding` becomes
    // the file's. The limit counts the file's bytes, its byte-order mark included.
    bool LoadTextFile(EditPane& pane, Prompts& prompts, const QString& path, int& modified,
                      DocumentEncoding& encoding,
                      std::optional<DocumentEncoding::Kind> chosen = std::nullopt);
    // Writes the pane's text and sets `modified` to 0. The old file is replaced only by a
    // complete new one; any write error gives message 103 and changes nothing.
    SaveResult SaveTextFile(EditPane& pane, Prompts& prompts, const QString& path, int& modified);
    // The same in `encoding`; characters it lacks are written as "?" (the file commands ask first).
    SaveResult SaveTextFile(EditPane& pane, Prompts& prompts, const QString& path, int& modified,
                            const DocumentEncoding& encoding);

    // Writes `bytes` unchanged with the save's own writer: a regular file is replaced only by a
    // complete new one. False on any error, with nothing told to the user.
    static bool writeFileAtomically(const QString& path, QByteArrayView bytes);

    // True when `path` is a regular file that can be opened for reading; nothing is read.
    static bool FileCanBeRead(const QString& path);

    // The length of the longest prefix of `bytes` (code page 932) that fits into `limit`
    // bytes without splitting a double-byte character or a CR LF pair.
    static qsizetype wholeCharacterPrefix(QByteArrayView bytes, qsizetype limit);

private:
    // Reads the file's first ReadSize bytes into `raw`; false after message 104.
    bool readHead(Prompts& prompts, const QString& path);

    // The pane's text in the file's encoding; kept between saves so that its memory is reused.
    QByteArray encoded;
    // The file's first bytes: more than any load keeps.
    QByteArray raw;
};
