#include "xdx/xdxfile.h"

#include "files/files.h"
#include "record/textrules.h"
#include "xdx/commatext.h"
#include "xdx/messages.h"
#include "xdx/xdxformat.h"
#include "xdx/xml/outline.h"
#include "xdx/xml/xmldocument.h"

#include <QDir>
#include <QUuid>

#include <algorithm>
#include <array>
#include <unordered_map>

namespace shenbao {
namespace {

using R = XdxElement::Role;

// clang-format off
constexpr XdxElement kElements[] = {
    {R::ProjectId, Field::ProjectName, u"ProjectID"},
    {R::Ver,       Field::ProjectName, u"ver"},
    {R::Field, Field::ProjectName,         u"ProjectName"},
    {R::Field, Field::KeyWord,             u"KeyWord"},
    {R::Field, Field::ResearchClass,       u"ResearchClass"},
    {R::Field, Field::ProjectClass,        u"ProjectClass"},
    {R::Field, Field::SubjectClass,        u"SubjectClass"},
    {R::Field, Field::InputDate,           u"InputDate"},
    {R::Field, Field::ExpectCompleteDate,  u"ExpectCompleteDate"},
    {R::Field, Field::ApplyOutlay,         u"ApplyOutlay"},
    {R::Field, Field::ExpectProduction1,   u"ExpectProduction1"},
    {R::Field, Field::ExpectProduction2,   u"ExpectProduction2"},
    {R::Passby,    Field::ProjectName, u"PASSBY"},
    {R::Field, Field::Presider,            u"Presider"},
    {R::Field, Field::Sex,                 u"Sex"},
    {R::Field, Field::Nation,              u"Nation"},
    {R::Field, Field::Birthday,            u"Birthday"},
    {R::Field, Field::IDcard,              u"IDcard"},
    {R::Field, Field::EduCode,             u"EduCode"},
    {R::Field, Field::DutyAdmin,           u"DutyAdmin"},
    {R::Field, Field::DutySpecial,         u"DutySpecial"},
    {R::Field, Field::ResearchSpecial,     u"ResearchSpecial"},
    {R::Field, Field::LastDiploma,         u"LastDiploma"},
    {R::Field, Field::LastDegree,          u"LastDegree"},
    {R::Field, Field::Tutor,               u"Tutor"},
    {R::Field, Field::BelongCity,          u"BelongCity"},
    {R::Field, Field::BelongSystem,        u"BelongSystem"},
    {R::Field, Field::Department,          u"Department"},
    {R::Field, Field::ContactMail,         u"ContactMail"},
    {R::Field, Field::ContactAddress,      u"ContactAddress"},
    {R::Field, Field::PostCode,            u"PostCode"},
    {R::Field, Field::ContactTelArea,      u"ContactTelArea"},
    {R::Field, Field::ContactTelHome,      u"ContactTelHome"},
    {R::Field, Field::ContactTelDepartmet, u"ContactTelDepartmet"},
    {R::Field, Field::ContactMobile,       u"ContactMobile"},
    {R::Field, Field::MainActor,           u"MainActor"},
    {R::Field, Field::Production,          u"Production"},
    {R::Field, Field::ResearchedProject,   u"ResearchedProject"},
    {R::Field, Field::ProjectReasoning,    u"ProjectReasoning"},
    {R::Field, Field::ProjectAnalyze,      u"ProjectAnalyze"},
    {R::Field, Field::ExpectProduction,    u"ExpectProduction"},
    {R::Field, Field::FinallyProduction,   u"FinallyProduction"},
    {R::Field, Field::OutlayPromises,      u"OutlayPromises"},
    {R::Field, Field::OutlayDepartment,    u"OutlayDepartment"},
    {R::Field, Field::OutlayAddress,       u"OutlayAddress"},
    {R::Field, Field::OutlayPostcode,      u"OutlayPostcode"},
    {R::Field, Field::OutlayBank,          u"OutlayBank"},
    {R::Field, Field::OutlayAccounts,      u"OutlayAccounts"},
    {R::Field, Field::tuijian1,            u"tuijian1"},
    {R::Field, Field::tuijian2,            u"tuijian2"},
    {R::Field, Field::danweiyijian,        u"danweiyijian"},
    {R::Field, Field::jiaoyujuyijian,      u"jiaoyujuyijian"},
    {R::VerifyList, Field::ProjectName, u"verifylist"},
};
// clang-format on
static_assert(std::size(kElements) == 53);

constexpr qint64 kMaxDocumentBytes = 64 * 1024 * 1024;
constexpr const char* kEncoding = "GBK";

// Raised while reading when an element holds more than one text value.
struct NotSingleText
{
};

using Element = xml::Outline::Node;

// The node that holds an element's text: null when the element is missing or childless; its
// only text or CDATA child. Whitespace-only text around other content is formatting and ignored,
// but an element whose only content is whitespace keeps it as its value.
Element textNode(const Element& element)
{
    if (element.isNull())
        return {};
    // The only child; or, of several, the only one that is not whitespace text.
    Element only = element.firstChild();
    if (only.isNull())
        return {};
    if (!only.nextSibling().isNull()) {
        only = {};
        for (Element c = element.firstChild(); !c.isNull(); c = c.nextSibling()) {
            if (c.isWhitespaceText())
                continue;
            if (!only.isNull())
                throw NotSingleText{};
            only = c;
        }
        if (only.isNull())
            throw NotSingleText{};
    }
    if (only.kind() == xml::NodeKind::Text || only.kind() == xml::NodeKind::CData)
        return only;
    throw NotSingleText{};
}

QString elementText(const Element& element)
{
    const Element text = textNode(element);
    return text.isNull() ? QString() : text.value();
}

// The first child element of each name in kElements, in one pass over the root's children
// (readers look elements up by name; a later one of the same name is ignored).
std::array<Element, std::size(kElements)> knownElements(const Element& root)
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> v;
        for (const XdxElement& e : kElements)
            v.push_back(QStringView(e.name).toLatin1().toStdString());
        return v;
    }();
    static const std::unordered_map<std::string_view, std::size_t> indexOf = [] {
        std::unordered_map<std::string_view, std::size_t> m;
        for (std::size_t i = 0; i < names.size(); ++i)
            m.emplace(names[i], i);
        return m;
    }();
    std::array<Element, std::size(kElements)> found;
    std::size_t expected = 0; // documents come in the format's order: the next name is tried first
    for (Element c = root.firstChild(); !c.isNull(); c = c.nextSibling()) {
        if (c.kind() != xml::NodeKind::Element)
            continue;
        std::size_t at = expected;
        if (at >= names.size() || names[at] != c.name()) {
            const auto it = indexOf.find(c.name());
            if (it == indexOf.end())
                continue;
            at = it->second;
        }
        if (found[at].isNull())
            found[at] = c;
        expected = at + 1;
    }
    return found;
}

// The first row element of each row of a table container: "MainActor1" ... "MainActor15" (the
// number as rowElementName writes it, without leading zeros).
std::vector<Element> tableRows(const Element& container, std::string_view tableName, int rows)
{
    std::vector<Element> found(std::size_t(rows) + 1);
    if (container.isNull())
        return found;
    for (Element c = container.firstChild(); !c.isNull(); c = c.nextSibling()) {
        const std::string_view name = c.kind() == xml::NodeKind::Element ? c.name() : std::string_view();
        if (name.size() <= tableName.size() || !name.starts_with(tableName) || name[tableName.size()] == '0')
            continue;
        int row = 0;
        for (const char d : name.substr(tableName.size())) {
            if (d < '0' || d > '9' || row > rows) {
                row = 0;
                break;
            }
            row = row * 10 + (d - '0');
        }
        if (row >= 1 && row <= rows && found[std::size_t(row)].isNull())
            found[std::size_t(row)] = c;
    }
    return found;
}

// Fills an empty row (of a fresh record) from its comma text.
void putBackRow(TableGrid& table, int row, const QString& text)
{
    const QStringList items = SplitCommaText(text);
    // An empty item comes back as an empty cell. (Putting in a blank instead would make every
    // stored empty cell count as filled after the first open.)
    for (int c = 0; c < table.columns() && c < items.size(); ++c)
        table.setCell(row, c, items[c]);
}

// An item may hold line breaks of its own (a file made elsewhere): every break becomes CR LF, as
// the window's box and the JSON input hold them.
QString putBackLongText(const QString& text)
{
    const QStringList lines = SplitCommaText(text);
    QString joined = longTextFromLines(lines);
    for (const QString& line : lines)
        if (hasLineBreak(line))
            return withCrLf(joined);
    return joined;
}

// Fills record from the elements; only the fields of only, when given: the others are checked
// (an element that is more than text fails the open all the same) but not decoded.
void readInto(const std::array<Element, std::size(kElements)>& known, ApplicationRecord& record,
              std::span<const Field> only)
{
    for (std::size_t i = 0; i < std::size(kElements); ++i) {
        const XdxElement& e = kElements[i];
        if (e.role == R::ProjectId) {
            record.setProjectId(elementText(known[i]));
            continue;
        }
        if (e.role != R::Field)
            continue;
        if (!only.empty() && std::find(only.begin(), only.end(), e.field) == only.end()) {
            if (fieldSpec(e.field).kind != FieldKind::Table)
                (void)textNode(known[i]);
            else if (!known[i].isNull())
                for (const Element& row : tableRows(known[i], known[i].name(), record.table(e.field).rows()))
                    (void)textNode(row);
            continue;
        }
        switch (fieldSpec(e.field).kind) {
        case FieldKind::Table: {
            TableGrid& table = record.table(e.field);
            const std::vector<Element> rows =
                tableRows(known[i], known[i].isNull() ? std::string_view() : known[i].name(), table.rows());
            for (int row = 1; row <= table.rows(); ++row) {
                const Element text = textNode(rows[std::size_t(row)]);
                // Separators alone leave the row empty, as most rows of a form are (",,,,,,,").
                if (!text.isNull() && text.utf8().find_first_not_of(',') != std::string_view::npos)
                    putBackRow(table, row, text.value());
            }
            break;
        }
        case FieldKind::LongText:
            record.setValue(e.field, putBackLongText(elementText(known[i])));
            break;
        default:
            record.setValue(e.field, elementText(known[i]));
            break;
        }
    }
}

bool hasContent(const xml::Outline::Node& root)
{
    for (xml::Outline::Node n = root.firstChild(); !n.isNull(); n = n.nextSibling())
        if (!n.isWhitespaceText())
            return true;
    return false;
}

OpenResult failed(const QString& message)
{
    return unexpected(OpenFailure{OpenFailure::Kind::Unreadable, message, {}});
}

OpenResult unreadableFile(const QString& reason)
{
    return unexpected(
        OpenFailure{OpenFailure::Kind::Unreadable, xml::ParseError{reason, 0, {}}.message(), reason});
}

} // namespace

std::span<const XdxElement> xdxElements()
{
    return kElements;
}

QString rowElementName(Field table, int row)
{
    return fieldName(table) + QString::number(row);
}

QString formatTag()
{
    return QStringLiteral("QX2011v1.0");
}

QString newProjectId()
{
    return QUuid::createUuid().toString(QUuid::WithBraces).toUpper();
}

QByteArray xdxBytes(const ApplicationRecord& record, const QStringList& errorList, QString* error)
{
    xml::Document doc;
    xml::Node root = doc.createRoot(u"XMLPackage");
    for (const XdxElement& e : kElements) {
        xml::Node element = root.appendElement(e.name);
        switch (e.role) {
        case R::ProjectId:
            element.setText(record.projectId());
            break;
        case R::Ver:
            element.setText(formatTag());
            break;
        case R::Passby:
            element.setText(u"0");
            break;
        case R::VerifyList:
            element.setText(JoinCommaText(errorList));
            break;
        case R::Field:
            switch (fieldSpec(e.field).kind) {
            case FieldKind::Table: {
                const TableGrid& table = record.table(e.field);
                for (int row = 1; row <= table.rows(); ++row)
                    element.appendElement(rowElementName(e.field, row))
                        .setText(JoinCommaText(table.row(row)));
                break;
            }
            case FieldKind::LongText:
                // The lines are the text's own lines; a paragraph stays one item however a box wraps it.
                element.setText(JoinCommaText(longTextLines(record.value(e.field))));
                break;
            default:
                element.setText(record.value(e.field));
                break;
            }
            break;
        }
    }
    QString writeError;
    QByteArray bytes = doc.toBytes(kEncoding, &writeError);
    if (bytes.isEmpty()) {
        if (error)
            *error = writeError;
        return {};
    }
    // A cheap guard against ever writing a file that will not open again.
    xml::ParseError parseError;
    if (!xml::Outline::read(bytes, &parseError)) {
        if (error)
            *error = xdxmsg::unreadableAfterWriting(parseError.reason);
        return {};
    }
    return bytes;
}

std::vector<UnwritableCharacters> unwritableCharacters(const ApplicationRecord& record)
{
    std::vector<UnwritableCharacters> lost;
    const auto look = [&](Field f, QStringView text) {
        if (xml::xmlSafeText(text).size() == text.size())
            return;
        QString found;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const qsizetype n =
                text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
            const QStringView c = text.mid(i, n);
            if (xml::xmlSafeText(c).isEmpty() && !found.contains(c))
                found += c;
            i += n - 1;
        }
        if (lost.empty() || lost.back().field != f)
            lost.push_back({f, {}});
        for (const QChar c : found)
            if (!lost.back().characters.contains(c))
                lost.back().characters += c;
    };
    for (const FieldSpec& spec : fieldCatalogue()) {
        if (spec.kind != FieldKind::Table) {
            look(spec.field, record.value(spec.field));
            continue;
        }
        const TableGrid& t = record.table(spec.field);
        for (int row = 1; row <= t.rows(); ++row)
            for (int column = 0; column < t.columns(); ++column)
                look(spec.field, t.cell(row, column));
    }
    return lost;
}

QString saveRefusal(const ApplicationRecord& record)
{
    for (Field f : {Field::ProjectName, Field::Presider})
        if (xml::xmlSafeText(record.value(f)).isEmpty())
            return xdxmsg::saveRefused();
    return {};
}

WriteResult writeXdx(QIODevice* device, const ApplicationRecord& record, const QStringList& errorList)
{
    QString error;
    const QByteArray bytes = xdxBytes(record, errorList, &error);
    if (bytes.isEmpty())
        return unexpected(error);
    if (device->write(bytes) != bytes.size())
        return unexpected(device->errorString());
    return {};
}

WriteResult saveXdxFile(const QString& path, const ApplicationRecord& record, const QStringList& errorList)
{
    QString error;
    const QByteArray bytes = xdxBytes(record, errorList, &error);
    if (bytes.isEmpty())
        return unexpected(xdxmsg::cannotSave(shownPath(path), error));
    if (const FileResult<void> written = replaceFile(path, bytes); !written)
        return unexpected(xdxmsg::cannotSave(shownPath(path), written.error().why()));
    return {};
}

OpenStatus openStatus(const OpenResult& result)
{
    if (result)
        return result->hollow ? OpenStatus::Hollow : OpenStatus::Loaded;
    return result.error().kind == OpenFailure::Kind::Rejected ? OpenStatus::Rejected : OpenStatus::Unreadable;
}

OpenResult openXdxBytes(const QByteArray& bytes)
{
    return openXdxBytes(bytes, {});
}

OpenResult openXdxBytes(const QByteArray& bytes, std::span<const Field> only)
{
    xml::ParseError parseError;
    const std::optional<xml::Outline> doc = xml::Outline::read(bytes, &parseError);
    if (!doc)
        return failed(parseError.message());

    XdxDocument result;
    const xml::Outline::Node root = doc->root();
    if (!hasContent(root)) {
        result.hollow = true;
        return result;
    }
    try {
        const auto known = knownElements(root);
        const auto textOf = [&](R role) {
            const auto* e = std::find_if(std::begin(kElements), std::end(kElements),
                                         [role](const XdxElement& x) { return x.role == role; });
            return elementText(known[std::size_t(e - std::begin(kElements))]);
        };
        if (textOf(R::Ver) != formatTag())
            return unexpected(OpenFailure{OpenFailure::Kind::Rejected, rejectedMessage(), {}});
        // Missing elements read as empty, not as the start-up values.
        result.record = ApplicationRecord::empty();
        readInto(known, result.record, only);
        result.official = textOf(R::Passby) == u"1";
    } catch (const NotSingleText&) {
        return failed(xdxmsg::notSingleText());
    }
    return result;
}

OpenResult openXdxFile(const QString& path)
{
    return openXdxFile(path, {});
}

OpenResult openXdxFile(const QString& path, std::span<const Field> only)
{
    const FileResult<QByteArray> read = readRegularFile(path, kMaxDocumentBytes);
    if (!read)
        return unreadableFile(xdxmsg::cannotRead(shownPath(path), read.error().why()));
    return openXdxBytes(*read, only);
}

} // namespace shenbao
