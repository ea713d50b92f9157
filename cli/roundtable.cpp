#include "cli/roundtable.h"

#include "cli/inputs.h"
#include "cli/messages.h"
#include "files/files.h"
#include "record/gbk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QXmlStreamReader>

#include <algorithm>
#include <functional>
#include <map>
#include <unordered_map>

#ifdef SHENBAO_HAVE_XLSX
#include <unzip.h>
#endif

using namespace Qt::StringLiterals;

namespace shenbao::cli {
namespace {

constexpr qint64 kMaxTableBytes = qint64(256) << 20;
constexpr qsizetype kPiece = 1 << 20;
// A file name longer than this is no file name: such a cell is passed over, never held.
constexpr qsizetype kMaxName = 32768;
// A spreadsheet cell holds at most 32,767 characters; no token it writes comes near this.
constexpr qsizetype kLongestToken = qsizetype(4) << 20;
// The rows a worksheet can have.
constexpr qsizetype kMaxSheetRows = 1'048'576;

const QString kGuarded = u"=+-@\t\r'"_s;

QString absoluteClean(const QString& folder, QString name)
{
#ifdef Q_OS_WIN
    name = QDir::fromNativeSeparators(name);
#endif
    return QDir::cleanPath(QDir::isAbsolutePath(name) ? name : folder + u'/' + name);
}

QString lastPart(const QString& path)
{
    return path.mid(path.lastIndexOf(u'/') + 1).toLower();
}

// Finds the files asked about among the names a table gives, and keeps their rows; every other
// row is passed over as soon as it is read.
class Matcher
{
public:
    Matcher(const QString& table, const QStringList& files, QString* error)
        : m_folder(QFileInfo(table).absolutePath()), m_table(table), m_files(files), m_error(error)
    {
        m_result.rows.assign(std::size_t(files.size()), 0);
        const QString here = QDir::currentPath();
        for (qsizetype i = 0; i < files.size(); ++i) {
            const QString path = absoluteClean(here, files[i]);
            m_byName.emplace(shownPath(path), i);
            m_lastParts.insert(lastPart(shownPath(path)));
            if (const std::optional<FileIdentity> id = fileIdentity(path))
                m_byIdentity.emplace(*id, i);
        }
    }

    // Row row (1 for the first under the heading) names name; false (and *error) to stop.
    bool take(qsizetype row, const QString& name)
    {
        m_result.lastRow = std::max(m_result.lastRow, row);
        if (name.isEmpty() || name.size() > kMaxName)
            return true;
        const QString path = absoluteClean(m_folder, name);
        const QString shown = shownPath(path);
        qsizetype index = -1;
        if (const auto it = m_byName.find(shown); it != m_byName.end()) {
            index = it->second;
        } else if (m_lastParts.contains(lastPart(shown))) { // the same file by another path
            if (const std::optional<FileIdentity> id = fileIdentity(path))
                if (const auto found = m_byIdentity.find(*id); found != m_byIdentity.end())
                    index = found->second;
        }
        if (index < 0)
            return true;
        qsizetype& at = m_result.rows[std::size_t(index)];
        if (at != 0 && at != row) {
            // Named as the spreadsheet numbers them: the heading is its row 1.
            *m_error = msg::cannotReadTable(shownPath(m_table),
                                            msg::fileInTwoRows(shownPath(m_files[index]), at + 1, row + 1));
            return false;
        }
        at = row;
        return true;
    }

    TableRows result() const { return m_result; }

private:
    QString m_folder;
    QString m_table;
    const QStringList& m_files;
    QString* m_error;
    std::unordered_map<QString, qsizetype> m_byName;
    QSet<QString> m_lastParts;
    std::map<FileIdentity, qsizetype> m_byIdentity;
    TableRows m_result;
};

// The first cell of each line of a CSV text handed over in pieces.
class CsvFirstColumn
{
public:
    explicit CsvFirstColumn(const std::function<bool(qsizetype, const QString&)>& take) : m_take(take) {}

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
            ++m_field;
            m_atFieldStart = true;
            return true;
        }
        m_atFieldStart = false;
        append(c);
        return true;
    }

    // Commas, or what a spreadsheet program on another locale writes instead: the heading's
    // first separator decides.
    bool isSeparator(QChar c)
    {
        if (!m_separator.isNull())
            return c == m_separator;
        if (m_row == 0 && (c == u',' || c == u';' || c == u'\t')) {
            m_separator = c;
            return true;
        }
        return false;
    }

    void append(QChar c)
    {
        if (m_field == 0 && m_cell.size() <= kMaxName)
            m_cell += c;
    }

    bool endRecord()
    {
        QString cell = std::exchange(m_cell, QString());
        // What csvCell guarded: one apostrophe before a character a formula starts with.
        if (cell.size() >= 2 && cell[0] == u'\'' && kGuarded.contains(cell[1]))
            cell.remove(0, 1);
        const qsizetype row = m_row++;
        m_field = 0;
        m_atFieldStart = true;
        m_recordHasContent = false;
        return row == 0 || m_take(row, cell);
    }

    std::function<bool(qsizetype, const QString&)> m_take;
    QString m_cell;
    QChar m_separator;
    qsizetype m_row = 0; // 0: the heading
    int m_field = 0;
    bool m_inQuotes = false, m_quotePending = false, m_atFieldStart = true, m_afterCr = false;
    bool m_recordHasContent = false;
};

enum class Encoding { Utf8, Utf16LE, Utf16BE, Gbk };

// Reads the CSV at path in pieces as text of encoding; false when its bytes are not that (or
// take stopped), *badBytes telling which.
bool readCsv(const QString& path, Encoding encoding, CsvFirstColumn& csv, bool* badBytes, FileResult<void>* read)
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
    *read = readRegularFileInPieces(path, kMaxTableBytes, kPiece, [&](QByteArrayView piece) {
        if (first) { // the byte-order mark says which it is, and is no text
            first = false;
            const int mark = encoding == Encoding::Utf8 && piece.startsWith("\xEF\xBB\xBF") ? 3
                             : encoding != Encoding::Utf8 && encoding != Encoding::Gbk ? 2
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

std::optional<TableRows> csvRows(const QString& table, const QStringList& files, QString* error)
{
    // Which encoding: the byte-order mark, else UTF-8, else (a table saved on Chinese Windows) GBK.
    QByteArray head;
    const FileResult<void> peek = readRegularFileInPieces(table, kMaxTableBytes, 4, [&](QByteArrayView b) {
        head = b.toByteArray();
        return false;
    });
    if (!peek) {
        *error = msg::cannotReadTable(shownPath(table), peek.error().why());
        return std::nullopt;
    }
    std::vector<Encoding> tries{Encoding::Utf8, Encoding::Gbk};
    if (head.startsWith("\xFF\xFE"))
        tries = {Encoding::Utf16LE};
    else if (head.startsWith("\xFE\xFF"))
        tries = {Encoding::Utf16BE};
    else if (head.startsWith("\xEF\xBB\xBF"))
        tries = {Encoding::Utf8};
    for (const Encoding encoding : tries) {
        Matcher matcher(table, files, error);
        CsvFirstColumn csv([&](qsizetype row, const QString& name) { return matcher.take(row, name); });
        bool badBytes = false;
        FileResult<void> read;
        if (readCsv(table, encoding, csv, &badBytes, &read))
            return matcher.result();
        if (!read) {
            *error = msg::cannotReadTable(shownPath(table), read.error().why());
            return std::nullopt;
        }
        if (!badBytes)
            return std::nullopt; // *error says why
    }
    *error = msg::cannotReadTable(shownPath(table), msg::notText());
    return std::nullopt;
}

#ifdef SHENBAO_HAVE_XLSX

// minizip reads the archive through a file this program opened (names of any bytes, never a
// named pipe), seeking as it needs.
voidpf zipOpen(voidpf opaque, const void*, int)
{
    return opaque;
}
uLong zipRead(voidpf, voidpf stream, void* buffer, uLong size)
{
    const qint64 n = static_cast<QIODevice*>(stream)->read(static_cast<char*>(buffer), qint64(size));
    return n < 0 ? 0 : uLong(n);
}
uLong zipWrite(voidpf, voidpf, const void*, uLong)
{
    return 0;
}
ZPOS64_T zipTell(voidpf, voidpf stream)
{
    return ZPOS64_T(static_cast<QIODevice*>(stream)->pos());
}
long zipSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    auto* file = static_cast<QIODevice*>(stream);
    qint64 to = qint64(offset);
    if (origin == ZLIB_FILEFUNC_SEEK_CUR)
        to += file->pos();
    else if (origin == ZLIB_FILEFUNC_SEEK_END)
        to += file->size();
    return to >= 0 && to <= file->size() && file->seek(to) ? 0 : -1;
}
int zipClose(voidpf, voidpf)
{
    return 0;
}
int zipError(voidpf, voidpf stream)
{
    Q_UNUSED(stream);
    return 0; // every failure shows in a short read
}

// The parts of a workbook: each inflated in pieces, checked against its declared size and CRC.
class Workbook
{
public:
    explicit Workbook(QIODevice* file)
    {
        zlib_filefunc64_def io{zipOpen, zipRead, zipWrite, zipTell, zipSeek, zipClose, zipError, file};
        m_zip = unzOpen2_64("", &io);
    }
    ~Workbook()
    {
        if (m_zip)
            unzClose(m_zip);
    }
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    bool isValid() const { return m_zip != nullptr; }

    enum class Part { Read, Missing, Broken, Stopped };

    // Hands the part called name to take in pieces as it inflates.
    Part read(const QByteArray& name, const std::function<bool(QByteArrayView)>& take) const
    {
        if (unzLocateFile(m_zip, name.constData(), 1) != UNZ_OK)
            return Part::Missing;
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(m_zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
            return Part::Broken;
        // Encrypted, an unknown method, or larger than any table (a ZIP64 size among them).
        if ((info.flag & 1) || (info.compression_method != 0 && info.compression_method != Z_DEFLATED) ||
            info.uncompressed_size > ZPOS64_T(kMaxTableBytes))
            return Part::Broken;
        if (unzOpenCurrentFile(m_zip) != UNZ_OK)
            return Part::Broken;
        QByteArray buffer(64 * 1024, Qt::Uninitialized);
        ZPOS64_T total = 0;
        for (;;) {
            const int n = unzReadCurrentFile(m_zip, buffer.data(), unsigned(buffer.size()));
            if (n < 0) {
                unzCloseCurrentFile(m_zip);
                return Part::Broken;
            }
            if (n == 0)
                break;
            total += ZPOS64_T(n);
            if (!take(QByteArrayView(buffer.constData(), n))) {
                unzCloseCurrentFile(m_zip);
                return Part::Stopped;
            }
        }
        // minizip inflates no further than the declared size; short data or a wrong CRC fail here.
        if (unzCloseCurrentFile(m_zip) != UNZ_OK || total != info.uncompressed_size)
            return Part::Broken;
        return Part::Read;
    }

    // The part's XML, token by token as it inflates: handle(xml) on each; false from handle stops.
    Part readXml(const QByteArray& name, const std::function<bool(QXmlStreamReader&)>& handle) const
    {
        QXmlStreamReader xml;
        bool stopped = false;
        qsizetype pending = 0; // bytes given to the reader since its last token
        const auto tokens = [&] {
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.hasError())
                    return xml.error() == QXmlStreamReader::PrematureEndOfDocumentError;
                pending = 0;
                if (!handle(xml)) {
                    stopped = true;
                    return false;
                }
            }
            return true;
        };
        bool tooLong = false;
        const Part part = read(name, [&](QByteArrayView piece) {
            // The reader holds a token whole until it ends: a text longer than any cell a
            // spreadsheet can hold (a bomb inflating to one huge cell) would fill the memory.
            pending += piece.size();
            if (pending > kLongestToken)
                return !(tooLong = true);
            xml.addData(piece.toByteArray());
            return tokens();
        });
        if (tooLong)
            return Part::Broken;
        if (part != Part::Read)
            return stopped ? Part::Stopped : part;
        if (!tokens())
            return stopped ? Part::Stopped : Part::Broken;
        return xml.hasError() ? Part::Broken : Part::Read;
    }

private:
    unzFile m_zip = nullptr;
};

// A relationship's target as a part name: relative to the folder of the part it belongs to,
// "./" and "../" taken as paths are, or absolute from the package's root.
std::optional<QByteArray> partName(const QByteArray& folder, const QString& target)
{
    QStringList parts;
    const QString full = target.startsWith(u'/') ? target.mid(1) : QString::fromUtf8(folder) + u'/' + target;
    for (const QString& p : full.split(u'/', Qt::SkipEmptyParts)) {
        if (p == u".")
            continue;
        if (p == u"..") {
            if (parts.isEmpty())
                return std::nullopt;
            parts.removeLast();
            continue;
        }
        parts.append(p);
    }
    return parts.join(u'/').toUtf8();
}

QByteArray folderOf(const QByteArray& part)
{
    const qsizetype slash = part.lastIndexOf('/');
    return slash < 0 ? QByteArray() : part.left(slash);
}

// The target of the first relationship in a .rels part that wants accepts.
std::optional<QString> relationship(const Workbook& book, const QByteArray& rels,
                                    const std::function<bool(const QXmlStreamAttributes&)>& wants)
{
    std::optional<QString> target;
    book.readXml(rels, [&](QXmlStreamReader& xml) {
        if (xml.isStartElement() && xml.name() == u"Relationship" && wants(xml.attributes())) {
            target = xml.attributes().value(u"Target"_s).toString();
            return false;
        }
        return true;
    });
    return target;
}

// "A12" -> column 1, row 12 (0 when it is no reference).
std::pair<qsizetype, qsizetype> cellReference(QStringView ref)
{
    qsizetype column = 0, i = 0;
    for (; i < ref.size() && ref[i] >= u'A' && ref[i] <= u'Z' && column <= 16384; ++i)
        column = column * 26 + (ref[i].unicode() - u'A' + 1);
    bool ok = false;
    const qsizetype row = ref.mid(i).toLongLong(&ok);
    return {column, ok ? row : 0};
}

std::optional<TableRows> xlsxRows(const QString& table, const QStringList& files, QString* error)
{
    const auto broken = [&] {
        *error = msg::cannotReadTable(shownPath(table), msg::notXlsx());
        return std::nullopt;
    };
    FileResult<std::unique_ptr<QIODevice>> file = openRegularFile(table, kMaxTableBytes);
    if (!file) {
        *error = msg::cannotReadTable(shownPath(table), file.error().why());
        return std::nullopt;
    }
    const Workbook book(file->get());
    if (!book.isValid())
        return broken();

    // The workbook part, its first sheet and its shared strings, through the relationships.
    QByteArray workbook = "xl/workbook.xml";
    if (const auto target = relationship(book, "_rels/.rels", [](const QXmlStreamAttributes& a) {
            return a.value(u"Type"_s).endsWith(u"/officeDocument");
        })) {
        const auto name = partName({}, *target);
        if (!name)
            return broken();
        workbook = *name;
    }
    QString sheetId;
    if (book.readXml(workbook, [&](QXmlStreamReader& xml) {
            if (!xml.isStartElement() || xml.name() != u"sheet")
                return true;
            for (const QXmlStreamAttribute& a : xml.attributes())
                if (a.name() == u"id")
                    sheetId = a.value().toString();
            return false;
        }) == Workbook::Part::Broken)
        return broken();
    const QByteArray folder = folderOf(workbook);
    const QByteArray rels = folder + "/_rels/" + workbook.mid(folder.size() + 1) + ".rels";
    QByteArray sheet = folder + "/worksheets/sheet1.xml", strings = folder + "/sharedStrings.xml";
    if (!sheetId.isEmpty())
        if (const auto target = relationship(book, rels, [&](const QXmlStreamAttributes& a) {
                return a.value(u"Id"_s) == sheetId;
            })) {
            const auto name = partName(folder, *target);
            if (!name)
                return broken();
            sheet = *name;
        }
    if (const auto target = relationship(book, rels, [](const QXmlStreamAttributes& a) {
            return a.value(u"Type"_s).endsWith(u"/sharedStrings");
        })) {
        const auto name = partName(folder, *target);
        if (!name)
            return broken();
        strings = *name;
    }

    // Column A of each row: a text of its own is matched at once, a shared string's index kept
    // (16 bytes a row) until the strings are read.
    Matcher matcher(table, files, error);
    std::vector<bool> seen(std::size_t(kMaxSheetRows) + 1);
    std::vector<std::pair<qsizetype, qsizetype>> shared; // index, row
    struct
    {
        qsizetype row = 0, column = 0;
        bool capturing = false, inValue = false, inPhonetic = false;
        QString type, value;
    } at;
    bool failed = false;
    const Workbook::Part read = book.readXml(sheet, [&](QXmlStreamReader& xml) {
        const QStringView name = xml.name();
        if (xml.isStartElement()) {
            if (name == u"row") {
                const QStringView r = xml.attributes().value(u"r"_s);
                at.row = r.isEmpty() ? at.row + 1 : r.toLongLong();
                at.column = 0;
            } else if (name == u"c") {
                const QStringView ref = xml.attributes().value(u"r"_s);
                const auto [column, row] = ref.isEmpty() ? std::pair{at.column + 1, at.row} : cellReference(ref);
                at.column = column;
                at.capturing = column == 1;
                if (at.capturing) {
                    if (row < 1 || row > kMaxSheetRows || seen[std::size_t(row)]) {
                        *error = msg::cannotReadTable(shownPath(table), row >= 1 && row <= kMaxSheetRows
                                                                            ? msg::rowTwice(row)
                                                                            : msg::notXlsx());
                        return !(failed = true);
                    }
                    seen[std::size_t(row)] = true;
                    at.row = row;
                    at.type = xml.attributes().value(u"t"_s).toString();
                    at.value.clear();
                }
            } else if (at.capturing && (name == u"v" || name == u"t")) {
                at.inValue = true;
            } else if (name == u"rPh") { // phonetic hints are no text
                at.inPhonetic = true;
            }
        } else if (xml.isCharacters() && at.capturing && at.inValue && !at.inPhonetic) {
            if (at.value.size() <= kMaxName)
                at.value += xml.text();
        } else if (xml.isEndElement()) {
            if (name == u"v" || name == u"t") {
                at.inValue = false;
            } else if (name == u"rPh") {
                at.inPhonetic = false;
            } else if (name == u"c" && at.capturing) {
                at.capturing = false;
                if (at.row == 1) // the heading
                    return true;
                if (at.type == u"s") {
                    bool ok = false;
                    const qsizetype index = at.value.toLongLong(&ok);
                    if (ok && index >= 0)
                        shared.emplace_back(index, at.row - 1);
                    return true;
                }
                if (!matcher.take(at.row - 1, at.value))
                    return !(failed = true);
            }
        }
        return true;
    });
    if (failed)
        return std::nullopt;
    if (read != Workbook::Part::Read)
        return broken();
    if (!shared.empty()) {
        std::sort(shared.begin(), shared.end());
        std::size_t next = 0;
        qsizetype index = -1;
        QString text;
        int depth = 0; // inside <si>
        bool phonetic = false;
        const Workbook::Part strung = book.readXml(strings, [&](QXmlStreamReader& xml) {
            if (xml.isStartElement()) {
                if (xml.name() == u"si") {
                    ++index;
                    depth = 1;
                    text.clear();
                } else if (xml.name() == u"rPh") {
                    phonetic = true;
                }
            } else if (xml.isCharacters() && depth && !phonetic) {
                if (text.size() <= kMaxName)
                    text += xml.text();
            } else if (xml.isEndElement()) {
                if (xml.name() == u"rPh") {
                    phonetic = false;
                } else if (xml.name() == u"si") {
                    depth = 0;
                    for (; next < shared.size() && shared[next].first <= index; ++next)
                        if (shared[next].first == index && !matcher.take(shared[next].second, text))
                            return !(failed = true);
                    return next < shared.size(); // the rest of the strings are not wanted
                }
            }
            return true;
        });
        if (failed)
            return std::nullopt;
        if (strung != Workbook::Part::Read && strung != Workbook::Part::Stopped)
            return broken();
    }
    return matcher.result();
}

#endif

} // namespace

TableNames::TableNames(const QString& table) : m_folder(QFileInfo(table).absolutePath()) {}

QString TableNames::nameOf(const QString& file) const
{
    if (QDir::isAbsolutePath(file))
        return shownPath(file);
    return shownPath(QDir(m_folder).relativeFilePath(QDir::cleanPath(QDir::currentPath() + u'/' + file)));
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

std::optional<TableRows> roundTableRows(const QString& table, const QStringList& files, QString* error)
{
    const QString suffix = QFileInfo(table).suffix().toLower();
    if (suffix != u"csv" && suffix != u"xlsx") {
        *error = msg::numberByTable();
        return std::nullopt;
    }
    if (suffix == u"csv")
        return csvRows(table, files, error);
#ifdef SHENBAO_HAVE_XLSX
    return xlsxRows(table, files, error);
#else
    *error = msg::noXlsxReadingHere();
    return std::nullopt;
#endif
}

} // namespace shenbao::cli
