#include "cli/roundtable.h"

#include "cli/messages.h"
#include "files/files.h"

#include <QFileInfo>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstring>

#ifdef SHENBAO_HAVE_XLSX
#include <zlib.h>
#endif

using namespace Qt::StringLiterals;

namespace shenbao::cli {
namespace {

constexpr qint64 kMaxTableBytes = qint64(256) << 20;

void addRow(std::map<QString, qsizetype>& rows, const QString& file, qsizetype row)
{
    if (row >= 1 && !file.isEmpty())
        rows.emplace(QFileInfo(file).absoluteFilePath(), row);
}

// The first column of each line under the heading.
std::map<QString, qsizetype> csvRows(const QByteArray& bytes)
{
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    std::map<QString, qsizetype> rows;
    qsizetype row = 0; // the heading
    qsizetype i = 0;
    while (i < text.size()) {
        // The first cell of the line, quoted or not, then the rest of the (possibly quoted) line.
        QString cell;
        bool quoted = false;
        for (; i < text.size(); ++i) {
            const QChar c = text[i];
            if (quoted) {
                if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"')
                    cell += c, ++i;
                else if (c == u'"')
                    quoted = false;
                else
                    cell += c;
            } else if (c == u'"') {
                quoted = true;
            } else if (c == u',' || c == u'\r' || c == u'\n') {
                break;
            } else {
                cell += c;
            }
        }
        for (quoted = false; i < text.size(); ++i) {
            if (text[i] == u'"')
                quoted = !quoted;
            else if (!quoted && text[i] == u'\n')
                break;
        }
        ++i;
        addRow(rows, cell, row++);
    }
    return rows;
}

#ifdef SHENBAO_HAVE_XLSX

// The parts of a ZIP archive (an XLSX file is one), read from its central directory.
class Zip
{
public:
    explicit Zip(const QByteArray& bytes) : m_bytes(bytes)
    {
        // The end record: its signature within the last 64 KiB and 22 bytes.
        const qsizetype from = std::max<qsizetype>(0, m_bytes.size() - 22 - 0xFFFF);
        qsizetype end = -1;
        for (qsizetype at = m_bytes.size() - 22; at >= from && end < 0; --at)
            if (u32(at) == 0x06054b50)
                end = at;
        if (end < 0)
            return;
        const quint32 count = u16(end + 10);
        qsizetype at = qsizetype(u32(end + 16));
        for (quint32 n = 0; n < count; ++n) {
            if (!has(at, 46) || u32(at) != 0x02014b50)
                return;
            const qsizetype nameSize = u16(at + 28);
            if (!has(at + 46, nameSize))
                return;
            Entry e{u16(at + 10), u32(at + 16), u32(at + 20), u32(at + 24), u32(at + 42)};
            m_entries.emplace(m_bytes.mid(at + 46, nameSize), e);
            at += 46 + nameSize + u16(at + 30) + u16(at + 32);
        }
        m_valid = true;
    }

    bool isValid() const { return m_valid; }

    // The part called name, unpacked and checked; nullopt when it is missing or broken.
    std::optional<QByteArray> part(const QByteArray& name) const
    {
        const auto it = m_entries.find(name);
        if (it == m_entries.end())
            return std::nullopt;
        const Entry& e = it->second;
        const qsizetype local = qsizetype(e.localHeader);
        if (!has(local, 30) || u32(local) != 0x04034b50 || e.size > quint32(kMaxTableBytes))
            return std::nullopt;
        const qsizetype data = local + 30 + u16(local + 26) + u16(local + 28);
        if (!has(data, qsizetype(e.packedSize)))
            return std::nullopt;
        const auto* packed = reinterpret_cast<const Bytef*>(m_bytes.constData() + data);
        QByteArray out(qsizetype(e.size), Qt::Uninitialized);
        if (e.method == 0) {
            if (e.packedSize != e.size)
                return std::nullopt;
            std::memcpy(out.data(), packed, e.size);
        } else if (e.method == 8) {
            z_stream z{};
            if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
                return std::nullopt;
            z.next_in = const_cast<Bytef*>(packed);
            z.avail_in = e.packedSize;
            z.next_out = reinterpret_cast<Bytef*>(out.data());
            z.avail_out = e.size;
            const int status = inflate(&z, Z_FINISH);
            const bool whole = status == Z_STREAM_END && z.total_out == e.size;
            inflateEnd(&z);
            if (!whole)
                return std::nullopt;
        } else {
            return std::nullopt;
        }
        if (crc32(0, reinterpret_cast<const Bytef*>(out.constData()), e.size) != e.crc)
            return std::nullopt;
        return out;
    }

private:
    struct Entry
    {
        quint16 method;
        quint32 crc, packedSize, size, localHeader;
    };

    bool has(qsizetype at, qsizetype n) const { return at >= 0 && n >= 0 && at <= m_bytes.size() - n; }
    quint16 u16(qsizetype at) const
    {
        const auto* p = reinterpret_cast<const uchar*>(m_bytes.constData() + at);
        return quint16(p[0] | p[1] << 8);
    }
    quint32 u32(qsizetype at) const { return quint32(u16(at)) | quint32(u16(at + 2)) << 16; }

    const QByteArray& m_bytes;
    std::map<QByteArray, Entry> m_entries;
    bool m_valid = false;
};

// The text of the element the reader stands on, rich-text runs joined.
QString textOf(QXmlStreamReader& xml)
{
    QString text;
    const QString element = xml.name().toString();
    while (xml.readNext() != QXmlStreamReader::Invalid) {
        if (xml.isEndElement() && xml.name() == element)
            break;
        if (xml.isStartElement() && xml.name() == u"t")
            text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
        else if (xml.isStartElement() && xml.name() == u"rPh") // phonetic hints are no text
            xml.skipCurrentElement();
    }
    return text;
}

// A cell reference's row: "A12" -> 12.
qsizetype rowOfReference(QStringView ref)
{
    while (!ref.isEmpty() && ref.front().isLetter())
        ref = ref.mid(1);
    return ref.toLongLong();
}

std::optional<std::map<QString, qsizetype>> xlsxRows(const QByteArray& bytes, QString* why)
{
    const Zip zip(bytes);
    if (!zip.isValid()) {
        *why = msg::notXlsx();
        return std::nullopt;
    }
    // The first sheet of the workbook, through its relationship.
    QByteArray sheetPart = "xl/worksheets/sheet1.xml";
    if (const auto workbook = zip.part("xl/workbook.xml")) {
        QXmlStreamReader xml(*workbook);
        QString id;
        while (!xml.atEnd() && id.isEmpty())
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"sheet")
                for (const QXmlStreamAttribute& a : xml.attributes())
                    if (a.name() == u"id")
                        id = a.value().toString();
        const auto rels = zip.part("xl/_rels/workbook.xml.rels");
        QXmlStreamReader relations(rels.value_or(QByteArray()));
        while (!id.isEmpty() && !relations.atEnd())
            if (relations.readNext() == QXmlStreamReader::StartElement && relations.name() == u"Relationship" &&
                relations.attributes().value(u"Id"_s) == id) {
                const QString target = relations.attributes().value(u"Target"_s).toString();
                sheetPart = target.startsWith(u'/') ? target.mid(1).toUtf8() : "xl/" + target.toUtf8();
                break;
            }
    }
    QStringList shared;
    if (const auto strings = zip.part("xl/sharedStrings.xml")) {
        QXmlStreamReader xml(*strings);
        while (!xml.atEnd())
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"si")
                shared.append(textOf(xml));
    }
    const auto sheet = zip.part(sheetPart);
    if (!sheet) {
        *why = msg::notXlsx();
        return std::nullopt;
    }
    // Column A of each row under the heading.
    std::map<QString, qsizetype> rows;
    QXmlStreamReader xml(*sheet);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"c")
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        const QStringView ref = attributes.value(u"r"_s);
        if (ref.size() < 2 || ref[0] != u'A' || !ref[1].isDigit())
            continue;
        const QStringView type = attributes.value(u"t"_s);
        QString value;
        while (xml.readNext() != QXmlStreamReader::Invalid && !(xml.isEndElement() && xml.name() == u"c")) {
            if (xml.isStartElement() && xml.name() == u"v")
                value = xml.readElementText();
            else if (xml.isStartElement() && xml.name() == u"is")
                value = textOf(xml);
        }
        if (type == u"s") {
            bool ok = false;
            const qsizetype index = value.toLongLong(&ok);
            value = ok && index >= 0 && index < shared.size() ? shared[index] : QString();
        }
        addRow(rows, value, rowOfReference(ref) - 1);
    }
    if (xml.hasError()) {
        *why = msg::notXlsx();
        return std::nullopt;
    }
    return rows;
}

#endif

} // namespace

std::optional<std::map<QString, qsizetype>> roundTableRows(const QString& table, QString* error)
{
    const QString suffix = QFileInfo(table).suffix().toLower();
    if (suffix != u"csv" && suffix != u"xlsx") {
        *error = msg::numberByTable();
        return std::nullopt;
    }
#ifndef SHENBAO_HAVE_XLSX
    if (suffix == u"xlsx") {
        *error = msg::noXlsxReadingHere();
        return std::nullopt;
    }
#endif
    const FileRead read = readRegularFile(table, kMaxTableBytes);
    if (read.status != FileRead::Status::Ok) {
        *error = msg::cannotReadTable(table, read.why());
        return std::nullopt;
    }
    if (suffix == u"csv")
        return csvRows(read.bytes);
#ifdef SHENBAO_HAVE_XLSX
    QString why;
    auto rows = xlsxRows(read.bytes, &why);
    if (!rows)
        *error = msg::cannotReadTable(table, why);
    return rows;
#else
    return std::nullopt;
#endif
}

} // namespace shenbao::cli
