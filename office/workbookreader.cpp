#include "office/workbookreader.h"

#include "files/files.h"
#include "office/messages.h"

#include <QIODevice>
#include <QXmlStreamReader>

#include <algorithm>
#include <map>
#include <optional>
#include <unzip.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace shenbao::office {
namespace {

constexpr qint64 kMaxWorkbookBytes = qint64(256) << 20;
// A spreadsheet cell holds at most 32,767 characters; no token it writes comes near this.
constexpr qsizetype kLongestToken = qsizetype(4) << 20;
// The rows a worksheet can have.
constexpr qsizetype kMaxSheetRows = 1'048'576;

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
class WorkbookParts
{
public:
    explicit WorkbookParts(QIODevice* file)
    {
        zlib_filefunc64_def io{zipOpen, zipRead, zipWrite, zipTell, zipSeek, zipClose, zipError, file};
        m_zip = unzOpen2_64("", &io);
    }
    ~WorkbookParts()
    {
        if (m_zip)
            unzClose(m_zip);
    }
    WorkbookParts(const WorkbookParts&) = delete;
    WorkbookParts& operator=(const WorkbookParts&) = delete;

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
            info.uncompressed_size > ZPOS64_T(kMaxWorkbookBytes))
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
std::optional<QString> relationship(const WorkbookParts& book, const QByteArray& rels,
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

// The parts the rows are in: the first sheet and the shared strings, through the relationships.
struct SheetParts
{
    QByteArray sheet, strings;
};

std::optional<SheetParts> sheetParts(const WorkbookParts& book)
{
    QByteArray workbook = "xl/workbook.xml";
    if (const auto target = relationship(book, "_rels/.rels", [](const QXmlStreamAttributes& a) {
            return a.value(u"Type"_s).endsWith(u"/officeDocument");
        })) {
        const auto name = partName({}, *target);
        if (!name)
            return std::nullopt;
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
        }) == WorkbookParts::Part::Broken)
        return std::nullopt;
    const QByteArray folder = folderOf(workbook);
    const QByteArray rels = folder + "/_rels/" + workbook.mid(folder.size() + 1) + ".rels";
    SheetParts parts{folder + "/worksheets/sheet1.xml", folder + "/sharedStrings.xml"};
    if (!sheetId.isEmpty())
        if (const auto target = relationship(
                book, rels, [&](const QXmlStreamAttributes& a) { return a.value(u"Id"_s) == sheetId; })) {
            const auto name = partName(folder, *target);
            if (!name)
                return std::nullopt;
            parts.sheet = *name;
        }
    if (const auto target = relationship(book, rels, [](const QXmlStreamAttributes& a) {
            return a.value(u"Type"_s).endsWith(u"/sharedStrings");
        })) {
        const auto name = partName(folder, *target);
        if (!name)
            return std::nullopt;
        parts.strings = *name;
    }
    return parts;
}

// A row's cells as read: a text, or a shared string's index (-1 for a text of its own).
struct ReadRow
{
    qsizetype row = 0;
    QStringList texts;
    std::vector<qsizetype> shared;
    bool hasShared() const
    {
        return std::any_of(shared.begin(), shared.end(), [](qsizetype s) { return s >= 0; });
    }
};

// A sheet's rows as its XML goes by: handed to take at once when written whole, kept in
// deferred when they wait for shared strings.
class SheetRows
{
public:
    SheetRows(int columns, qsizetype longest, const std::function<bool(qsizetype, const QStringList&)>& take,
              std::vector<ReadRow>* deferred)
        : m_seen(std::size_t(kMaxSheetRows) + 1), m_columns(columns), m_longest(longest), m_take(take),
          m_deferred(deferred)
    {
    }

    // One event of the sheet's XML; false to stop (failure() says why, if anything went wrong).
    bool event(QXmlStreamReader& xml)
    {
        const QStringView name = xml.name();
        if (xml.isStartElement()) {
            if (name == u"row")
                return startRow(xml.attributes().value(u"r"_s));
            if (name == u"c")
                return startCell(xml.attributes().value(u"r"_s), xml.attributes().value(u"t"_s));
            if (m_capturing && (name == u"v" || name == u"t"))
                m_inValue = true;
            else if (name == u"rPh") // phonetic hints are no text
                m_inPhonetic = true;
        } else if (xml.isCharacters() && m_capturing && m_inValue && !m_inPhonetic) {
            if (m_value.size() <= m_longest)
                m_value += xml.text();
        } else if (xml.isEndElement()) {
            if (name == u"v" || name == u"t")
                m_inValue = false;
            else if (name == u"rPh")
                m_inPhonetic = false;
            else if (name == u"c" && m_capturing)
                endCell();
        }
        return true;
    }

    bool endRow()
    {
        if (m_current.row == 0)
            return true;
        ReadRow done = std::exchange(m_current, ReadRow());
        if (done.hasShared()) {
            m_deferred->push_back(std::move(done));
            return true;
        }
        return m_take(done.row, done.texts);
    }

    const QString& failure() const { return m_failure; }

private:
    bool startRow(QStringView r)
    {
        const qsizetype previous = m_current.row;
        if (!endRow())
            return false;
        m_current.row = r.isEmpty() ? previous + 1 : r.toLongLong();
        if (m_current.row < 1 || m_current.row > kMaxSheetRows || m_seen[std::size_t(m_current.row)])
            return fail(m_current.row);
        m_seen[std::size_t(m_current.row)] = true;
        m_column = 0;
        return true;
    }

    bool startCell(QStringView ref, QStringView type)
    {
        const auto [column, row] =
            ref.isEmpty() ? std::pair{m_column + 1, m_current.row} : cellReference(ref);
        if (row != m_current.row) // a cell that names another row than its own
            return fail(row);
        m_column = column;
        m_capturing = column >= 1 && column <= m_columns;
        m_type = type.toString();
        m_value.clear();
        return true;
    }

    void endCell()
    {
        m_capturing = false;
        const std::size_t k = std::size_t(m_column - 1);
        while (m_current.texts.size() <= qsizetype(k)) {
            m_current.texts.append(QString());
            m_current.shared.push_back(-1);
        }
        bool ok = false;
        const qsizetype index = m_type == u"s" ? m_value.toLongLong(&ok) : -1;
        if (ok && index >= 0)
            m_current.shared[k] = index;
        else if (m_type != u"s")
            m_current.texts[qsizetype(k)] = m_value.size() > m_longest ? QString() : m_value;
    }

    // A row out of bounds is no workbook's; one within them came twice.
    bool fail(qsizetype row)
    {
        m_failure = row >= 1 && row <= kMaxSheetRows ? msg::rowTwice(row) : msg::notXlsx();
        return false;
    }

    std::vector<bool> m_seen;
    int m_columns;
    qsizetype m_longest;
    const std::function<bool(qsizetype, const QStringList&)>& m_take;
    std::vector<ReadRow>* m_deferred;
    ReadRow m_current;
    qsizetype m_column = 0;
    bool m_capturing = false, m_inValue = false, m_inPhonetic = false;
    QString m_type, m_value, m_failure;
};

// The sheet's rows (see SheetRows). Why not, when the sheet is broken or a row comes twice.
Expected<void, QString> readSheet(const WorkbookParts& book, const QByteArray& sheet, int columns,
                                  qsizetype longest,
                                  const std::function<bool(qsizetype, const QStringList&)>& take,
                                  std::vector<ReadRow>* deferred)
{
    SheetRows rows(columns, longest, take, deferred);
    const WorkbookParts::Part read =
        book.readXml(sheet, [&](QXmlStreamReader& xml) { return rows.event(xml); });
    if (!rows.failure().isEmpty())
        return unexpected(rows.failure());
    if (read == WorkbookParts::Part::Stopped)
        return {};
    if (read != WorkbookParts::Part::Read)
        return unexpected(msg::notXlsx());
    (void)rows.endRow();
    return {};
}

// The shared strings the deferred rows name, read in order and kept only where wanted.
Expected<std::map<qsizetype, QString>, QString> sharedStrings(const WorkbookParts& book,
                                                              const QByteArray& strings,
                                                              std::vector<qsizetype> wanted,
                                                              qsizetype longest)
{
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    std::map<qsizetype, QString> found;
    std::size_t next = 0;
    qsizetype index = -1;
    QString text;
    bool inside = false, phonetic = false;
    const WorkbookParts::Part read = book.readXml(strings, [&](QXmlStreamReader& xml) {
        if (xml.isStartElement()) {
            if (xml.name() == u"si") {
                ++index;
                inside = true;
                text.clear();
            } else if (xml.name() == u"rPh") {
                phonetic = true;
            }
        } else if (xml.isCharacters() && inside && !phonetic) {
            if (text.size() <= longest)
                text += xml.text();
        } else if (xml.isEndElement()) {
            if (xml.name() == u"rPh") {
                phonetic = false;
            } else if (xml.name() == u"si") {
                inside = false;
                for (; next < wanted.size() && wanted[next] <= index; ++next)
                    if (wanted[next] == index)
                        found.emplace(index, text.size() > longest ? QString() : text);
                return next < wanted.size(); // the rest of the strings are not wanted
            }
        }
        return true;
    });
    if (read != WorkbookParts::Part::Read && read != WorkbookParts::Part::Stopped)
        return unexpected(msg::notXlsx());
    return found;
}

} // namespace

Expected<void, QString>
readWorkbookRows(const QString& path, int columns, qsizetype longest,
                 const std::function<bool(qsizetype row, const QStringList& cells)>& take)
{
    FileResult<std::unique_ptr<QIODevice>> file = openRegularFile(path, kMaxWorkbookBytes);
    if (!file)
        return unexpected(file.error().why());
    const WorkbookParts book(file->get());
    if (!book.isValid())
        return unexpected(msg::notXlsx());
    const std::optional<SheetParts> parts = sheetParts(book);
    if (!parts)
        return unexpected(msg::notXlsx());
    std::vector<ReadRow> deferred;
    bool going = true;
    const Expected<void, QString> sheet = readSheet(
        book, parts->sheet, columns, longest,
        [&](qsizetype row, const QStringList& cells) { return going = take(row, cells); }, &deferred);
    if (!sheet)
        return sheet;
    if (!going || deferred.empty())
        return {};
    std::vector<qsizetype> wanted;
    for (const ReadRow& r : deferred)
        for (const qsizetype s : r.shared)
            if (s >= 0)
                wanted.push_back(s);
    const Expected<std::map<qsizetype, QString>, QString> strings =
        sharedStrings(book, parts->strings, wanted, longest);
    if (!strings)
        return unexpected(strings.error());
    std::sort(deferred.begin(), deferred.end(),
              [](const ReadRow& a, const ReadRow& b) { return a.row < b.row; });
    for (ReadRow& r : deferred) {
        for (std::size_t k = 0; k < r.shared.size(); ++k)
            if (r.shared[k] >= 0)
                r.texts[qsizetype(k)] = strings->count(r.shared[k]) ? strings->at(r.shared[k]) : QString();
        if (!take(r.row, r.texts))
            break;
    }
    return {};
}

} // namespace shenbao::office
