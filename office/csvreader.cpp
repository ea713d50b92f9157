#include "office/csvreader.h"

#include "files/files.h"
#include "office/messages.h"
#include "record/gbk.h"

#include <QStringDecoder>

#include <optional>
#include <vector>

using namespace Qt::StringLiterals;

namespace shenbao::office {
namespace {

constexpr qint64 kMaxCsvBytes = qint64(256) << 20;
constexpr qsizetype kPiece = 1 << 20;
// What csvCell guards: a cell a spreadsheet would take for a formula.
const QString kGuarded = u"=+-@\t\r'"_s;

// The records of a CSV text handed over in pieces.
class CsvRecords
{
public:
    CsvRecords(int columns, qsizetype longest, const std::function<bool(qsizetype, const QStringList&)>& take)
        : m_columns(columns), m_longest(longest), m_take(take)
    {
    }

    bool feed(QStringView text)
    {
        for (const QChar c : text)
            if (!character(c))
                return false;
        return true;
    }

    bool finish()
    {
        if (m_quotePending)
            m_inQuotes = m_quotePending = false;
        return m_recordHasContent ? endRecord() : true;
    }

private:
    bool character(QChar c)
    {
        m_recordHasContent = true;
        if (m_inQuotes) {
            if (m_quotePending) {
                m_quotePending = false;
                if (c == u'"') {
                    append(c);
                    return true;
                }
                m_inQuotes = false; // the closing quote: c is read as outside
            } else {
                if (c == u'"')
                    m_quotePending = true;
                else
                    append(c);
                return true;
            }
        }
        const bool afterCr = m_afterCr;
        m_afterCr = false;
        if (c == u'"' && m_atFieldStart) {
            m_inQuotes = true;
            m_atFieldStart = false;
            return true;
        }
        if (c == u'\r') {
            m_afterCr = true;
            return endRecord();
        }
        if (c == u'\n') {
            if (afterCr) { // CR LF ends one line
                m_recordHasContent = false;
                return true;
            }
            return endRecord();
        }
        if (isSeparator(c)) {
            endField();
            m_atFieldStart = true;
            return true;
        }
        m_atFieldStart = false;
        append(c);
        return true;
    }

    // Commas, or what a spreadsheet program on another locale writes instead: the first
    // separator outside quotes decides (a title row above the heading may have none).
    bool isSeparator(QChar c)
    {
        if (!m_separator.isNull())
            return c == m_separator;
        if (c == u',' || c == u';' || c == u'\t') {
            m_separator = c;
            return true;
        }
        return false;
    }

    void append(QChar c)
    {
        if (m_cells.size() < m_columns && m_cell.size() <= m_longest)
            m_cell += c;
    }

    void endField()
    {
        QString cell = std::exchange(m_cell, QString());
        // What the writer guarded: one apostrophe before a character a formula starts with.
        if (cell.size() >= 2 && cell[0] == u'\'' && kGuarded.contains(cell[1]))
            cell.remove(0, 1);
        if (m_cells.size() < m_columns)
            m_cells.append(cell.size() > m_longest ? QString() : cell);
    }

    bool endRecord()
    {
        endField();
        const QStringList cells = std::exchange(m_cells, QStringList());
        m_atFieldStart = true;
        m_recordHasContent = false;
        return m_take(m_row++, cells);
    }

    int m_columns;
    qsizetype m_longest;
    std::function<bool(qsizetype, const QStringList&)> m_take;
    QString m_cell;
    QStringList m_cells;
    QChar m_separator;
    qsizetype m_row = 1; // the heading
    bool m_inQuotes = false, m_quotePending = false, m_atFieldStart = true, m_afterCr = false;
    bool m_recordHasContent = false;
};

enum class Encoding { Utf8, Utf16LE, Utf16BE, Gbk };

// Reads the file in pieces as text of encoding into csv; false when its bytes are not that (or
// take stopped), *badBytes telling which.
bool readAs(const QString& path, Encoding encoding, CsvRecords& csv, bool* badBytes, FileResult<void>* read)
{
    std::optional<QStringDecoder> decoder;
    if (encoding == Encoding::Utf8)
        decoder.emplace(QStringDecoder::Utf8);
    else if (encoding == Encoding::Utf16LE)
        decoder.emplace(QStringDecoder::Utf16LE);
    else if (encoding == Encoding::Utf16BE)
        decoder.emplace(QStringDecoder::Utf16BE);
    QByteArray carried; // a GBK lead byte whose trail is in the next piece
    bool first = true, ok = true;
    *badBytes = false;
    *read = readRegularFileInPieces(path, kMaxCsvBytes, kPiece, [&](QByteArrayView piece) {
        if (first) { // the byte-order mark says which it is, and is no text
            first = false;
            const int mark = encoding == Encoding::Utf8 && piece.startsWith("\xEF\xBB\xBF") ? 3
                             : encoding != Encoding::Utf8 && encoding != Encoding::Gbk      ? 2
                                                                                            : 0;
            piece = piece.sliced(std::min<qsizetype>(mark, piece.size()));
        }
        QString text;
        if (decoder) {
            text = decoder->decode(piece);
            if (decoder->hasError()) {
                *badBytes = true;
                return ok = false;
            }
        } else {
            QByteArray bytes = carried + piece.toByteArray();
            qsizetype end = 0;
            while (end < bytes.size())
                end += gbk::isLeadByte(uchar(bytes[end])) ? 2 : 1;
            if (end > bytes.size())
                end -= 2;
            carried = bytes.mid(end);
            text = gbk::decode(QByteArrayView(bytes).first(end));
        }
        return ok = csv.feed(text);
    });
    if (!*read || !ok)
        return false;
    if (!carried.isEmpty() && !csv.feed(gbk::decode(carried)))
        return false;
    return csv.finish();
}

} // namespace

Expected<void, QString> readCsvRows(const QString& path, int columns, qsizetype longest,
                                    const std::function<bool(qsizetype row, const QStringList& cells)>& take)
{
    // Which encoding: the byte-order mark, else UTF-8 when every byte is, else (a table saved on
    // Chinese Windows) GBK. Found before a record is handed over, reading the file twice: the
    // records' memory stays flat.
    QByteArray head;
    const FileResult<void> peek = readRegularFileInPieces(path, kMaxCsvBytes, 4, [&](QByteArrayView b) {
        head = b.toByteArray();
        return false;
    });
    if (!peek)
        return unexpected(peek.error().why());
    Encoding encoding = Encoding::Utf8;
    if (head.startsWith("\xFF\xFE")) {
        encoding = Encoding::Utf16LE;
    } else if (head.startsWith("\xFE\xFF")) {
        encoding = Encoding::Utf16BE;
    } else if (!head.startsWith("\xEF\xBB\xBF")) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        const FileResult<void> scan =
            readRegularFileInPieces(path, kMaxCsvBytes, kPiece, [&](QByteArrayView piece) {
                const QString text = utf8.decode(piece); // decoding happens only when converted
                return !utf8.hasError();
            });
        if (!scan)
            return unexpected(scan.error().why());
        if (utf8.hasError())
            encoding = Encoding::Gbk;
    }
    CsvRecords csv(columns, longest, take);
    bool badBytes = false;
    FileResult<void> read;
    if (!readAs(path, encoding, csv, &badBytes, &read)) {
        if (!read)
            return unexpected(read.error().why());
        if (badBytes)
            return unexpected(msg::notText());
    }
    return {};
}

QString csvCell(const QString& cell)
{
    QString c = cell;
    bool number = false;
    c.toDouble(&number);
    if (!number && !c.isEmpty() && kGuarded.contains(c[0]))
        c.prepend(u'\'');
    if (c.contains(u',') || c.contains(u';') || c.contains(u'"') || c.contains(u'\n') || c.contains(u'\r'))
        c = u'"' + c.replace(u"\""_s, u"\"\""_s) + u'"';
    return c;
}

} // namespace shenbao::office
