#include "xdx/xdxjson.h"

#include "record/textrules.h"
#include "xdx/messages.h"
#include "xdx/xdxformat.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace shenbao {
namespace {

// json with every U+FEFF inside a string written as its escape: QJsonDocument (Qt 6.4) drops the
// character itself there, and a value must come back exactly as it was given. (A byte-order mark
// before the object is no string's.)
QByteArray withByteOrderMarksEscaped(const QByteArray& json)
{
    if (!json.contains("\xEF\xBB\xBF"))
        return json;
    QByteArray out;
    out.reserve(json.size() + 16);
    bool inString = false, escaped = false;
    for (qsizetype i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (inString && !escaped && c == '\xEF' &&
            QByteArrayView(json).sliced(i).startsWith("\xEF\xBB\xBF")) {
            out += "\\ufeff";
            i += 2;
            continue;
        }
        out += c;
        if (escaped)
            escaped = false;
        else if (inString && c == '\\')
            escaped = true;
        else if (c == '"')
            inString = !inString;
    }
    return out;
}

} // namespace

QByteArray recordToJson(const ApplicationRecord& record, bool official)
{
    QString out = QStringLiteral("{\n");
    for (const XdxElement& e : xdxElements()) {
        if (e.role != XdxElement::Role::ProjectId && e.role != XdxElement::Role::Field)
            continue;
        out += u"  ";
        appendJsonString(out, e.name);
        out += u": ";
        if (e.role == XdxElement::Role::ProjectId) {
            appendJsonString(out, record.projectId());
        } else if (fieldSpec(e.field).kind == FieldKind::Table) {
            const TableGrid& t = record.table(e.field);
            out += u"[\n";
            for (int row = 1; row <= t.rows(); ++row) {
                out += u"    [";
                for (int c = 0; c < t.columns(); ++c) {
                    if (c)
                        out += u", ";
                    appendJsonString(out, t.cell(row, c));
                }
                out += row < t.rows() ? u"],\n" : u"]\n";
            }
            out += u"  ]";
        } else {
            appendJsonString(out, record.value(e.field));
        }
        out += u",\n";
    }
    out += official ? u"  \"official\": true\n}\n" : u"  \"official\": false\n}\n";
    return out.toUtf8();
}

JsonRecord recordFromJson(const QByteArray& json)
{
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(withByteOrderMarksEscaped(json), &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return unexpected(xdxmsg::jsonSyntax(parseError.offset, parseError.errorString()));
    if (!doc.isObject())
        return unexpected(xdxmsg::jsonNotObject());
    ApplicationRecord record = ApplicationRecord::empty();
    const QJsonObject object = doc.object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString key = it.key();
        const QJsonValue value = it.value();
        auto fail = [&](const QString& why) -> JsonRecord {
            return unexpected(jsonString(key) + u'：' + why);
        };
        if (key == u"official") {
            if (!value.isBool())
                return fail(xdxmsg::jsonWantBool());
            continue;
        }
        if (key == u"ProjectID") {
            if (!value.isString())
                return fail(xdxmsg::jsonWantString());
            continue; // a build always draws a fresh identifier
        }
        const std::optional<Field> field = fieldByName(key);
        if (!field)
            return fail(xdxmsg::jsonUnknownKey());
        const FieldSpec& spec = fieldSpec(*field);
        if (spec.kind == FieldKind::Table) {
            if (!value.isArray())
                return fail(xdxmsg::jsonWantRows());
            const QJsonArray rows = value.toArray();
            TableGrid& table = record.table(*field);
            if (rows.size() > table.rows())
                return fail(xdxmsg::jsonTooManyRows(table.rows(), rows.size()));
            for (qsizetype r = 0; r < rows.size(); ++r) {
                if (!rows[r].isArray())
                    return fail(xdxmsg::jsonRowNotArray(r + 1));
                const QJsonArray cells = rows[r].toArray();
                if (cells.size() > table.columns())
                    return fail(xdxmsg::jsonTooManyColumns(r + 1, table.columns(), cells.size()));
                for (qsizetype c = 0; c < cells.size(); ++c) {
                    if (!cells[c].isString())
                        return fail(xdxmsg::jsonCellNotString(r + 1, c + 1));
                    table.setCell(int(r) + 1, int(c), cells[c].toString());
                }
            }
            continue;
        }
        if (!value.isString())
            return fail(xdxmsg::jsonWantString());
        const QString text = value.toString();
        if (spec.kind == FieldKind::Choice && !text.isEmpty() && choiceIndex(*field, text) < 0)
            return fail(xdxmsg::jsonNotAChoice(text, choiceItems(*field)));
        record.setValue(*field, spec.kind == FieldKind::LongText ? withCrLf(text) : text);
    }
    return record;
}

} // namespace shenbao
