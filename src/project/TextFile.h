#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class QFile;

// Text files as lists of lines. Read accepting CR LF, LF or CR; written with CR LF after
// every line. Windows-1252 by default so files from Windows round-trip byte for byte; a file
// that is valid UTF-8 with multi-byte sequences is read as UTF-8, and text that Windows-1252
// cannot hold, or whose Windows-1252 bytes would read as UTF-8, is written as UTF-8.
namespace TextFile {

// Who may read a file the program writes: as before for a file it replaces (a new file as the
// user's umask says), or its owner alone, for a file that holds a secret.
enum class Access { Kept, OwnerOnly };

QString decode(const QByteArray &bytes);
QByteArray encode(const QString &text);
// Windows-1252 bytes of a text; a character it cannot hold becomes "?" and sets ok to false.
QByteArray toWindows1252(const QString &text, bool *ok = nullptr);
// The same, appended to `bytes`; false when a character became "?".
bool appendWindows1252(QByteArray &bytes, QStringView text);
QString fromWindows1252(QByteArrayView bytes);
// UTF-8 bytes as text. Unlike QString::fromUtf8(), a byte-order mark that begins them stays:
// inside a file or a field it is text.
QString fromUtf8(QByteArrayView bytes);

QStringList splitLines(const QString &text);
// The text as one line: each line break becomes a space, a final one is dropped. A one-line
// field still takes a pasted break, and a value of a line-based file must never hold one.
QString oneLine(const QString &text);
// The lines with CR LF after each, as text and as the bytes written to a file.
QString joinedText(const QStringList &lines);
QByteArray joinLines(const QStringList &lines);

// A text file's lines, one at a time: the lines readLines() gives, read in pieces, so a large
// file never sits in memory whole, neither as bytes nor as text. Throws Error naming the file
// and the reason.
class LineStream
{
public:
    explicit LineStream(const QString &path, qint64 pieceSize = 1 << 20);
    ~LineStream();
    Q_DISABLE_COPY_MOVE(LineStream)

    // The next line into `line`; false at the end of the file.
    bool next(QString &line);
    qint64 size() const { return m_size; }
    // How far into the file the lines given so far reach, in bytes.
    qint64 position() const { return m_blockStart + m_at; }

private:
    // The next block of whole lines into m_block; false at the end of the file.
    bool readBlock();
    void rewind();

    QString m_path;
    std::unique_ptr<QFile> m_file;
    qint64 m_pieceSize;
    qint64 m_size = 0;
    bool m_utf8 = false;
    bool m_first = true;
    QByteArray m_carry;
    QByteArray m_block;
    qsizetype m_at = 0;
    qint64 m_blockStart = 0;
};

// Throw Error naming the file and the reason.
QStringList readLines(const QString &path);
void writeLines(const QString &path, const QStringList &lines, Access access = Access::Kept);
void writeBytes(const QString &path, const QByteArray &bytes, Access access = Access::Kept);

} // namespace TextFile
