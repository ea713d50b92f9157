#include "office/pdfjoin.h"

#include "files/files.h"
#include "office/messages.h"

#include <QByteArray>
#include <QIODevice>

#include <algorithm>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

// The parts are this program's own PDFs (Qt's writer): a cross-reference table, a catalog, one
// page tree whose kids are the pages, streams whose lengths are objects of their own. They are
// joined as a stream of their objects, renumbered, each read and written once: memory holds the
// offsets of the objects, never a model of the pages (a model of every page of 10,000 forms
// would take gigabytes).

namespace shenbao::office {
namespace {

// The first object numbers of the joined file: its document information, catalog and page tree.
constexpr qint64 kInfo = 1, kCatalog = 2, kPages = 3, kFirstFree = 4;
// Larger than any dictionary Qt writes; a stream's data is copied in pieces of this size too.
constexpr qint64 kPiece = 64 * 1024;
// No dictionary of a part is longer.
constexpr qint64 kLongestObject = qint64(64) << 20;

class PartError
{
};

// One part, read where its cross-reference table says its objects are.
class Part
{
public:
    explicit Part(std::unique_ptr<QIODevice> device) : m_device(std::move(device)) { readTable(); }

    qint64 size() const { return qint64(m_offsets.size()); } // the trailer's /Size
    qint64 root() const { return m_root; }
    qint64 info() const { return m_info; }
    bool has(qint64 number) const
    {
        return number > 0 && number < size() && m_offsets[std::size_t(number)] >= 0;
    }

    // The bytes of object number from "N 0 obj" to its stream's data or its end: the object's
    // body, and where its stream data begins (-1 for none).
    QByteArray body(qint64 number, qint64* streamAt)
    {
        // Read until the object's end or its stream shows (a font's widths run long).
        QByteArray head;
        qsizetype open = -1, end = -1, stream = -1;
        for (qint64 want = kPiece; end < 0 && stream < 0; want *= 4) {
            if (want > kLongestObject)
                throw PartError();
            head = readAt(m_offsets[std::size_t(number)], want);
            open = head.indexOf(" obj");
            if (open < 0)
                throw PartError();
            end = head.indexOf("endobj", open);
            stream = streamKeyword(head, open);
            if (end >= 0 && stream > end)
                stream = -1;
            if (head.size() < want && end < 0 && stream < 0)
                throw PartError(); // the file ends inside the object
        }
        *streamAt = -1;
        if (stream >= 0) {
            qsizetype data = stream + 6;
            if (data < head.size() && head[data] == '\r')
                ++data;
            if (data < head.size() && head[data] == '\n')
                ++data;
            *streamAt = m_offsets[std::size_t(number)] + data;
            return head.mid(open + 4, stream - open - 4);
        }
        if (end < 0)
            throw PartError();
        return head.mid(open + 4, end - open - 4);
    }

    // The value of a direct integer object (a stream's length).
    qint64 integer(qint64 number)
    {
        qint64 at = 0;
        const QByteArray b = body(number, &at).trimmed();
        bool ok = false;
        const qint64 v = b.toLongLong(&ok);
        if (!ok || v < 0)
            throw PartError();
        return v;
    }

    // Copies length bytes from offset to out.
    void copy(qint64 offset, qint64 length, QIODevice& out)
    {
        if (!m_device->seek(offset))
            throw PartError();
        QByteArray piece;
        for (qint64 left = length; left > 0;) {
            piece = m_device->read(std::min(left, kPiece));
            if (piece.isEmpty())
                throw PartError();
            if (out.write(piece) != piece.size())
                throw PartError();
            left -= piece.size();
        }
    }

private:
    // Where "stream" begins after a dictionary's ">>", or -1: the word inside a string or a name
    // is no stream.
    static qsizetype streamKeyword(const QByteArray& head, qsizetype from)
    {
        for (qsizetype at = head.indexOf("stream", from); at >= 0; at = head.indexOf("stream", at + 1)) {
            qsizetype before = at;
            while (before > 0 && QByteArrayView(" \t\r\n").contains(head[before - 1]))
                --before;
            if (before >= 2 && head[before - 1] == '>' && head[before - 2] == '>')
                return at;
        }
        return -1;
    }

    QByteArray readAt(qint64 offset, qint64 length)
    {
        if (offset < 0 || !m_device->seek(offset))
            throw PartError();
        return m_device->read(length);
    }

    void readTable()
    {
        const qint64 fileSize = m_device->size();
        const QByteArray tail = readAt(std::max<qint64>(0, fileSize - 1024), 1024);
        const qsizetype at = tail.lastIndexOf("startxref");
        if (at < 0)
            throw PartError();
        bool ok = false;
        const qint64 xref = tail.mid(at + 9).trimmed().split('\n').value(0).trimmed().toLongLong(&ok);
        if (!ok)
            throw PartError();
        // "xref", subsections "first count" with 20-byte entries, then the trailer.
        if (!m_device->seek(xref) || m_device->readLine().trimmed() != "xref")
            throw PartError();
        for (;;) {
            const QByteArray line = m_device->readLine().trimmed();
            if (line.startsWith("trailer")) {
                readTrailer(line.mid(7) + m_device->read(1024));
                return;
            }
            const QList<QByteArray> range = line.split(' ');
            bool firstOk = false, countOk = false;
            const qint64 first = range.value(0).toLongLong(&firstOk),
                         count = range.value(1).toLongLong(&countOk);
            if (range.size() != 2 || !firstOk || !countOk || first < 0 || count < 0 ||
                first + count > (1 << 26))
                throw PartError();
            if (qint64(m_offsets.size()) < first + count)
                m_offsets.resize(std::size_t(first + count), -1);
            for (qint64 k = 0; k < count; ++k) {
                const QByteArray entry = m_device->read(20);
                if (entry.size() != 20)
                    throw PartError();
                if (entry[17] == 'n')
                    m_offsets[std::size_t(first + k)] = entry.left(10).toLongLong();
            }
        }
    }

    void readTrailer(const QByteArray& trailer)
    {
        const auto reference = [&](const char* key) {
            const qsizetype at = trailer.indexOf(key);
            if (at < 0)
                return qint64(-1);
            return trailer.mid(at + qsizetype(qstrlen(key))).trimmed().split(' ').value(0).toLongLong();
        };
        m_root = reference("/Root");
        m_info = reference("/Info");
        if (!has(m_root))
            throw PartError();
    }

    std::unique_ptr<QIODevice> m_device;
    std::vector<qint64> m_offsets;
    qint64 m_root = -1, m_info = -1;
};

// Every "N G R" of a dictionary or array renumbered by shift, strings and names left as they
// are; a /Parent made the joined page tree's.
QByteArray renumbered(const QByteArray& body, qint64 shift, std::vector<qint64>* references = nullptr)
{
    QByteArray out;
    out.reserve(body.size() + 16);
    const qsizetype n = body.size();
    const auto isDigit = [&](qsizetype i) { return i < n && body[i] >= '0' && body[i] <= '9'; };
    const auto isDelimiter = [&](qsizetype i) {
        return i >= n || QByteArrayView(" \t\r\n/[]<>()").contains(body[i]);
    };
    for (qsizetype i = 0; i < n;) {
        const char c = body[i];
        if (c == '(') { // a string, nested parentheses and escapes kept whole
            int depth = 0;
            const qsizetype from = i;
            for (; i < n; ++i) {
                if (body[i] == '\\') {
                    ++i;
                    continue;
                }
                depth += body[i] == '(' ? 1 : body[i] == ')' ? -1 : 0;
                if (depth == 0) {
                    ++i;
                    break;
                }
            }
            out += body.mid(from, i - from);
            continue;
        }
        if (c == '/') { // a name
            const qsizetype from = i++;
            while (!isDelimiter(i))
                ++i;
            out += body.mid(from, i - from);
            continue;
        }
        if (isDigit(i) && (i == 0 || isDelimiter(i - 1))) {
            // "N G R": a reference, if two integers and an R follow each other.
            qsizetype j = i;
            while (isDigit(j))
                ++j;
            qsizetype k = j;
            while (k < n && body[k] == ' ')
                ++k;
            qsizetype g = k;
            while (isDigit(g))
                ++g;
            qsizetype r = g;
            while (r < n && body[r] == ' ')
                ++r;
            if (g > k && k > j && r < n && body[r] == 'R' && isDelimiter(r + 1)) {
                const qint64 number = body.mid(i, j - i).toLongLong() + shift;
                if (references)
                    references->push_back(number);
                out += QByteArray::number(number) + " 0 R";
                i = r + 1;
                continue;
            }
            out += body.mid(i, j - i);
            i = j;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

// Where the name key stands in body as a whole name ("/Length", not "/Length1"), or -1.
qsizetype keyAt(const QByteArray& body, const char* key)
{
    const qsizetype n = qsizetype(qstrlen(key));
    for (qsizetype at = body.indexOf(key); at >= 0; at = body.indexOf(key, at + 1)) {
        const qsizetype after = at + n;
        if (after >= body.size() || QByteArrayView(" \t\r\n/[]<>()").contains(body[after]))
            return at;
    }
    return -1;
}

// The page tree's kids, in order.
std::vector<qint64> pagesOf(Part& part, qint64 tree)
{
    qint64 at = 0;
    const QByteArray body = part.body(tree, &at);
    const qsizetype kids = keyAt(body, "/Kids");
    if (kids < 0)
        throw PartError();
    const qsizetype open = body.indexOf('[', kids), close = body.indexOf(']', kids);
    if (open < 0 || close < open)
        throw PartError();
    std::vector<qint64> pages;
    renumbered(body.mid(open + 1, close - open - 1), 0, &pages);
    for (const qint64 p : pages) {
        qint64 ignored = 0;
        if (!part.has(p) || part.body(p, &ignored).contains("/Type /Pages")) // only flat trees are ours
            throw PartError();
    }
    return pages;
}

qint64 referenceAfter(const QByteArray& body, const char* key)
{
    const qsizetype at = keyAt(body, key);
    if (at < 0)
        return -1;
    std::vector<qint64> found;
    renumbered(body.mid(at + qsizetype(qstrlen(key)), 24), 0, &found);
    return found.empty() ? -1 : found.front();
}

class Writer
{
public:
    explicit Writer(QIODevice& out) : m_out(out) {}

    void put(const QByteArray& bytes)
    {
        if (m_out.write(bytes) != bytes.size())
            throw PartError();
        m_at += bytes.size();
    }
    void begin(qint64 number)
    {
        if (qint64(m_offsets.size()) <= number)
            m_offsets.resize(std::size_t(number) + 1, -1);
        m_offsets[std::size_t(number)] = m_at;
        put(QByteArray::number(number) + " 0 obj\n");
    }
    QIODevice& device() { return m_out; }
    void advance(qint64 bytes) { m_at += bytes; }

    void finish(const std::vector<qint64>& pages)
    {
        begin(kPages);
        QByteArray kids;
        for (const qint64 p : pages)
            kids += QByteArray::number(p) + " 0 R\n";
        put("<<\n/Type /Pages\n/Kids [\n" + kids + "]\n/Count " + QByteArray::number(qint64(pages.size())) +
            "\n>>\nendobj\n");
        begin(kCatalog);
        put("<<\n/Type /Catalog\n/Pages " + QByteArray::number(kPages) + " 0 R\n>>\nendobj\n");
        const qint64 xref = m_at;
        put("xref\n0 " + QByteArray::number(qint64(m_offsets.size())) + "\n0000000000 65535 f \n");
        for (std::size_t k = 1; k < m_offsets.size(); ++k)
            put(m_offsets[k] < 0 ? QByteArray("0000000000 65535 f \n")
                                 : QByteArray::number(m_offsets[k]).rightJustified(10, '0') + " 00000 n \n");
        put("trailer\n<<\n/Size " + QByteArray::number(qint64(m_offsets.size())) + "\n" +
            (m_offsets.size() > std::size_t(kInfo) && m_offsets[kInfo] >= 0 ? QByteArray("/Info 1 0 R\n")
                                                                            : QByteArray()) +
            "/Root " + QByteArray::number(kCatalog) + " 0 R\n>>\nstartxref\n" + QByteArray::number(xref) +
            "\n%%EOF\n");
    }

private:
    QIODevice& m_out;
    qint64 m_at = 0;
    std::vector<qint64> m_offsets; // by object number; -1: free
};

// The objects of one part, renumbered by shift, but for its catalog and page tree; its pages'
// parent the joined tree; its document information the joined file's when first.
void copyPart(Part& part, qint64 shift, bool first, Writer& out, std::vector<qint64>* pages)
{
    qint64 ignored = 0;
    const qint64 tree = referenceAfter(part.body(part.root(), &ignored), "/Pages");
    if (!part.has(tree))
        throw PartError();
    const std::vector<qint64> kids = pagesOf(part, tree);
    for (const qint64 p : kids)
        pages->push_back(p + shift);
    std::vector<qint64> sortedKids = kids;
    std::sort(sortedKids.begin(), sortedKids.end());
    for (qint64 number = 1; number < part.size(); ++number) {
        if (!part.has(number) || number == part.root() || number == tree)
            continue;
        const bool info = number == part.info();
        if (info && !first)
            continue;
        qint64 streamAt = -1;
        QByteArray body = part.body(number, &streamAt);
        QByteArray written = renumbered(body, shift);
        if (std::binary_search(sortedKids.begin(), sortedKids.end(), number)) {
            if (referenceAfter(body, "/Parent") != tree)
                throw PartError();
            written.replace("/Parent " + QByteArray::number(tree + shift) + " 0 R",
                            "/Parent " + QByteArray::number(kPages) + " 0 R");
        }
        out.begin(info ? kInfo : number + shift);
        if (streamAt < 0) {
            out.put(written + "endobj\n");
            continue;
        }
        // The stream's length: direct, or (as Qt writes it) an object of its own.
        const qsizetype key = keyAt(body, "/Length");
        if (key < 0)
            throw PartError();
        const qint64 lengthObject = referenceAfter(body, "/Length");
        qint64 length = 0;
        if (lengthObject >= 0) {
            length = part.integer(lengthObject);
        } else {
            bool ok = false;
            length = body.mid(key + 7)
                         .trimmed()
                         .split('\n')
                         .value(0)
                         .split(' ')
                         .value(0)
                         .split('/')
                         .value(0)
                         .toLongLong(&ok);
            if (!ok)
                throw PartError();
        }
        out.put(written + "stream\n");
        part.copy(streamAt, length, out.device());
        out.advance(length);
        out.put("\nendstream\nendobj\n");
    }
}

} // namespace

bool joinPdfs(const QStringList& parts, QIODevice& out, QString* error)
{
    if (parts.isEmpty()) {
        *error = msg::nothingToPrint();
        return false;
    }
    try {
        Writer writer(out);
        writer.put("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
        std::vector<qint64> pages;
        qint64 shift = kFirstFree;
        for (qsizetype k = 0; k < parts.size(); ++k) {
            FileResult<std::unique_ptr<QIODevice>> file =
                openRegularFile(parts[k], std::numeric_limits<qint64>::max());
            if (!file) {
                *error = file.error().why();
                return false;
            }
            Part part(std::move(file).value());
            copyPart(part, shift, k == 0, writer, &pages);
            shift += part.size();
        }
        writer.finish(pages);
        return true;
    } catch (const PartError&) {
        *error = out.errorString().isEmpty() ? msg::cannotJoinParts() : out.errorString();
        return false;
    }
}

} // namespace shenbao::office
