#include "office/reviewroster.h"

#include "check/textfold.h"
#include "files/files.h"
#include "office/reviewmessages.h"
#include "office/spreadsheet.h"

#include <QRegularExpression>

#include <cmath>
#include <map>
#include <set>

using namespace Qt::StringLiterals;

namespace shenbao::office {
namespace {

enum class Column { Name, Unit, City, Subjects, MaxLoad, Avoid, Contact };
struct ColumnSpec
{
    Column column;
    const char16_t* heading;
    bool required;
};
constexpr ColumnSpec kColumns[] = {
    {Column::Name, u"姓名", true},          {Column::Unit, u"单位", true},
    {Column::City, u"所在市（州）", true},  {Column::Subjects, u"学科分类", true},
    {Column::MaxLoad, u"最多评审数", true}, {Column::Avoid, u"回避单位", false},
    {Column::Contact, u"联系方式", false},
};
// A roster is no wider than this, and no cell of it longer.
constexpr int kMostColumns = 64;
constexpr qsizetype kLongestCell = 4096;
constexpr int kMostLoad = 100000;

QStringList listOf(const QString& cell)
{
    static const QRegularExpression kSeparators(u"[、，,;；]"_s);
    QStringList items;
    for (const QString& s : cell.split(kSeparators, Qt::SkipEmptyParts))
        if (!s.trimmed().isEmpty())
            items.append(s.trimmed());
    return items;
}

// Headings compared folded: 所在市(州) and 所在市（州） alike.
std::map<Column, int> columnsOf(const QStringList& heading)
{
    std::map<Column, int> at;
    for (int c = 0; c < heading.size(); ++c)
        for (const ColumnSpec& spec : kColumns)
            if (fold::folded(heading[c]) == fold::folded(QString::fromUtf16(spec.heading)))
                at.emplace(spec.column, c);
    return at;
}

QString headingOf(Column column)
{
    for (const ColumnSpec& spec : kColumns)
        if (spec.column == column)
            return QString::fromUtf16(spec.heading);
    return {};
}

} // namespace

Expected<std::vector<Expert>, QStringList> readRoster(const QString& path)
{
    const QString shown = shownPath(path);
    const Expected<SpreadsheetRows, QString> rows = readSpreadsheet(path, kMostColumns, kLongestCell);
    if (!rows)
        return unexpected(QStringList{reviewmsg::cannotReadRoster(shown, rows.error())});
    if (rows->empty() || rows->begin()->first != 1)
        return unexpected(QStringList{reviewmsg::rosterWithoutHeading(shown)});
    const std::map<Column, int> at = columnsOf(rows->begin()->second);
    QStringList problems;
    for (const ColumnSpec& spec : kColumns)
        if (spec.required && !at.contains(spec.column))
            problems.append(reviewmsg::rosterProblem(shown, 1, QString::fromUtf16(spec.heading),
                                                     reviewmsg::columnMissing()));
    if (!problems.isEmpty())
        return unexpected(problems);

    const QStringList subjects = formSubjects();
    std::vector<Expert> experts;
    std::map<std::pair<QString, QString>, qsizetype> seen; // folded name and unit: the row
    for (auto it = std::next(rows->begin()); it != rows->end(); ++it) {
        const qsizetype row = it->first;
        const auto cell = [&](Column c) {
            return at.contains(c) ? it->second.value(at.at(c)).trimmed() : QString();
        };
        const auto problem = [&](Column c, const QString& why) {
            problems.append(reviewmsg::rosterProblem(shown, row, headingOf(c), why));
        };
        Expert e;
        e.row = row;
        e.name = cell(Column::Name);
        e.unit = cell(Column::Unit);
        e.city = cell(Column::City);
        e.contact = cell(Column::Contact);
        e.avoidUnits = listOf(cell(Column::Avoid));
        if (e.name.isEmpty())
            problem(Column::Name, reviewmsg::cellEmpty());
        if (e.unit.isEmpty())
            problem(Column::Unit, reviewmsg::cellEmpty());
        for (const QString& s : listOf(cell(Column::Subjects))) {
            const qsizetype i = subjects.indexOf(s);
            if (i < 0)
                problem(Column::Subjects, reviewmsg::unknownSubject(s));
            else
                e.subjects |= 1u << i;
        }
        if (e.subjects == 0 && listOf(cell(Column::Subjects)).isEmpty())
            problem(Column::Subjects, reviewmsg::cellEmpty());
        bool ok = false;
        const QString load = cell(Column::MaxLoad);
        e.maxLoad = load.toInt(&ok);
        if (!ok) { // a spreadsheet may hold a whole number as 12.0
            const double d = load.toDouble(&ok);
            ok = ok && d == std::floor(d) && std::abs(d) <= kMostLoad;
            e.maxLoad = ok ? int(d) : 0;
        }
        if (!ok || e.maxLoad < 0 || e.maxLoad > kMostLoad)
            problem(Column::MaxLoad, reviewmsg::notALoad(load));
        const std::pair key{fold::folded(e.name), fold::folded(e.unit)};
        if (!e.name.isEmpty() && !e.unit.isEmpty())
            if (const auto [first, fresh] = seen.emplace(key, row); !fresh)
                problem(Column::Name, reviewmsg::expertTwice(first->second));
        experts.push_back(std::move(e));
    }
    if (experts.empty())
        problems.append(reviewmsg::rosterProblem(shown, 2, headingOf(Column::Name), reviewmsg::noExperts()));
    if (!problems.isEmpty())
        return unexpected(problems);
    return experts;
}

} // namespace shenbao::office
