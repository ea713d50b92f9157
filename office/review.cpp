#include "office/review.h"

#include "check/textfold.h"
#include "files/files.h"
#include "office/reviewmessages.h"
#include "record/fields.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace shenbao::office {
namespace {

constexpr qint64 kMostRoundBytes = qint64(256) << 20;
// Crockford's letters: no I, L, O or U to be misread.
constexpr char kCodeLetters[] = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
constexpr int kCodeLength = 8;

QString codeOf(const QByteArray& digest)
{
    QString code;
    quint64 bits = 0;
    for (int i = 0; i < 5; ++i)
        bits = bits << 8 | quint8(digest[i]);
    for (int i = kCodeLength - 1; i >= 0; --i)
        code.prepend(QChar::fromLatin1(kCodeLetters[(bits >> (5 * (kCodeLength - 1 - i))) & 31]));
    return code;
}

QJsonArray strings(const QStringList& list)
{
    QJsonArray a;
    for (const QString& s : list)
        a.append(s);
    return a;
}

QStringList stringsOf(const QJsonValue& v)
{
    QStringList list;
    for (const QJsonValue& x : v.toArray())
        list.append(x.toString());
    return list;
}

} // namespace

std::vector<Criterion> defaultCriteria()
{
    return {{u"选题"_s, 20}, {u"论证"_s, 30}, {u"创新"_s, 20}, {u"可行"_s, 30}};
}

Expected<std::vector<Criterion>, QString> parseCriteria(const QString& text)
{
    static const QRegularExpression kBetween(u"[,，;；、]"_s);
    static const QRegularExpression kInside(u"[:：]"_s);
    std::vector<Criterion> criteria;
    for (const QString& part : text.split(kBetween, Qt::SkipEmptyParts)) {
        const QStringList nameAndPoints = part.split(kInside);
        bool ok = false;
        const int points = nameAndPoints.size() == 2 ? nameAndPoints[1].trimmed().toInt(&ok) : 0;
        const QString name = nameAndPoints.value(0).trimmed();
        if (!ok || points < 1 || points > 1000 || name.isEmpty())
            return unexpected(reviewmsg::badCriterion(part.trimmed()));
        for (const Criterion& c : criteria)
            if (c.name == name)
                return unexpected(reviewmsg::criterionTwice(name));
        criteria.push_back({name, points});
    }
    if (criteria.empty())
        return unexpected(reviewmsg::badCriterion(text));
    return criteria;
}

QStringList formSubjects()
{
    return choiceItems(Field::SubjectClass);
}

QStringList subjectNames(quint32 subjects)
{
    QStringList names;
    const QStringList all = formSubjects();
    for (qsizetype i = 0; i < all.size(); ++i)
        if (subjects & (1u << i))
            names.append(all[i]);
    return names;
}

ReviewApplication reviewApplicationOf(const ApplicationRecord& record, const QString& file)
{
    ReviewApplication a;
    a.code = applicationCode(record);
    a.file = file;
    a.title = record.value(Field::ProjectName).trimmed();
    a.category = record.value(Field::ProjectClass).trimmed();
    a.subject = record.value(Field::SubjectClass).trimmed();
    a.subjectIndex = int(formSubjects().indexOf(a.subject));
    a.city = record.value(Field::BelongCity);
    a.names.append(record.value(Field::Presider));
    a.units.append(record.value(Field::Department));
    const TableGrid& actors = record.table(Field::MainActor);
    for (int r = 1; r <= actors.rows(); ++r) {
        if (!actors.cell(r, 0).trimmed().isEmpty())
            a.names.append(actors.cell(r, 0));
        if (!actors.cell(r, 6).trimmed().isEmpty())
            a.units.append(actors.cell(r, 6));
    }
    a.recommenders = record.value(Field::tuijian1) + u'\n' + record.value(Field::tuijian2);
    return a;
}

QString applicationCode(const ApplicationRecord& record)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString& part :
         {record.projectId(), fold::folded(record.value(Field::ProjectName)),
          fold::folded(record.value(Field::Presider)), fold::folded(record.value(Field::IDcard))})
        hash.addData((part + u'\x1f').toUtf8());
    return codeOf(hash.result());
}

QString roundIdOf(const ReviewRound& round)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const auto add = [&](const QString& s) { hash.addData((s + u'\x1f').toUtf8()); };
    add(QString::number(round.reviewers));
    for (const Criterion& c : round.criteria)
        add(c.name + u':' + QString::number(c.points));
    for (const Expert& e : round.experts)
        add(e.name + u'\x1e' + e.unit);
    for (const ReviewApplication& a : round.applications)
        add(a.code);
    return codeOf(hash.result());
}

int ReviewRound::maxScore() const
{
    int sum = 0;
    for (const Criterion& c : criteria)
        sum += c.points;
    return sum;
}

QString ReviewRound::expertFolder(int expert) const
{
    const int width = std::max(3, int(QString::number(experts.size()).size()));
    // A name is no path: what a file system would take for one is left out.
    QString name = experts[std::size_t(expert)].name;
    name.remove(QRegularExpression(u"[\\\\/:*?\"<>|\\x00-\\x1f]"_s));
    return u"专家/"_s + u"%1 "_s.arg(expert + 1, width, 10, QChar(u'0')) + name.trimmed();
}

std::vector<int> ReviewRound::applicationsOf(int expert) const
{
    std::vector<int> mine;
    for (std::size_t a = 0; a < assigned.size(); ++a)
        if (std::binary_search(assigned[a].begin(), assigned[a].end(), expert))
            mine.push_back(int(a));
    return mine;
}

int ReviewRound::applicationByCode(const QString& code) const
{
    const auto it = std::lower_bound(applications.begin(), applications.end(), code,
                                     [](const ReviewApplication& a, const QString& c) { return a.code < c; });
    return it != applications.end() && it->code == code ? int(it - applications.begin()) : -1;
}

QByteArray roundToJson(const ReviewRound& round)
{
    QJsonObject o;
    o[u"round"_s] = round.id;
    o[u"reviewers"_s] = round.reviewers;
    QJsonArray criteria;
    for (const Criterion& c : round.criteria)
        criteria.append(QJsonObject{{u"name"_s, c.name}, {u"points"_s, c.points}});
    o[u"criteria"_s] = criteria;
    QJsonArray experts;
    for (const Expert& e : round.experts)
        experts.append(QJsonObject{{u"row"_s, qint64(e.row)},
                                   {u"name"_s, e.name},
                                   {u"unit"_s, e.unit},
                                   {u"city"_s, e.city},
                                   {u"contact"_s, e.contact},
                                   {u"subjects"_s, strings(subjectNames(e.subjects))},
                                   {u"maxLoad"_s, e.maxLoad},
                                   {u"avoid"_s, strings(e.avoidUnits)}});
    o[u"experts"_s] = experts;
    QJsonArray applications;
    for (std::size_t i = 0; i < round.applications.size(); ++i) {
        const ReviewApplication& a = round.applications[i];
        QJsonArray assigned;
        for (const int e : round.assigned[i])
            assigned.append(e);
        applications.append(QJsonObject{{u"code"_s, a.code},
                                        {u"file"_s, a.file},
                                        {u"title"_s, a.title},
                                        {u"category"_s, a.category},
                                        {u"subject"_s, a.subject},
                                        {u"experts"_s, assigned}});
    }
    o[u"applications"_s] = applications;
    o[u"program"_s] = u"xdxtool review"_s;
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

Expected<ReviewRound, QString> roundFromJson(const QByteArray& json)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    const QJsonObject o = doc.object();
    if (error.error != QJsonParseError::NoError || o.value(u"program"_s).toString() != u"xdxtool review")
        return unexpected(reviewmsg::notARound());
    ReviewRound round;
    round.id = o.value(u"round"_s).toString();
    round.reviewers = o.value(u"reviewers"_s).toInt();
    for (const QJsonValue& c : o.value(u"criteria"_s).toArray())
        round.criteria.push_back({c[u"name"_s].toString(), c[u"points"_s].toInt()});
    const QStringList subjects = formSubjects();
    for (const QJsonValue& v : o.value(u"experts"_s).toArray()) {
        Expert e;
        e.row = v[u"row"_s].toInteger();
        e.name = v[u"name"_s].toString();
        e.unit = v[u"unit"_s].toString();
        e.city = v[u"city"_s].toString();
        e.contact = v[u"contact"_s].toString();
        for (const QString& s : stringsOf(v[u"subjects"_s]))
            if (const qsizetype i = subjects.indexOf(s); i >= 0)
                e.subjects |= 1u << i;
        e.maxLoad = v[u"maxLoad"_s].toInt();
        e.avoidUnits = stringsOf(v[u"avoid"_s]);
        round.experts.push_back(std::move(e));
    }
    for (const QJsonValue& v : o.value(u"applications"_s).toArray()) {
        ReviewApplication a;
        a.code = v[u"code"_s].toString();
        a.file = v[u"file"_s].toString();
        a.title = v[u"title"_s].toString();
        a.category = v[u"category"_s].toString();
        a.subject = v[u"subject"_s].toString();
        a.subjectIndex = int(subjects.indexOf(a.subject));
        std::vector<int> assigned;
        for (const QJsonValue& e : v[u"experts"_s].toArray()) {
            const int index = e.toInt(-1);
            if (index < 0 || index >= int(round.experts.size()))
                return unexpected(reviewmsg::notARound());
            assigned.push_back(index);
        }
        std::sort(assigned.begin(), assigned.end());
        round.applications.push_back(std::move(a));
        round.assigned.push_back(std::move(assigned));
    }
    if (round.id.isEmpty() || round.criteria.empty() ||
        !std::is_sorted(
            round.applications.begin(), round.applications.end(),
            [](const ReviewApplication& x, const ReviewApplication& y) { return x.code < y.code; }))
        return unexpected(reviewmsg::notARound());
    return round;
}

Expected<ReviewRound, QString> readRound(const QString& folder)
{
    const QString path = folder + u'/' + QString::fromUtf16(kRoundFile);
    const FileResult<QByteArray> bytes = readRegularFile(path, kMostRoundBytes);
    if (!bytes)
        return unexpected(reviewmsg::noRound(shownPath(folder), bytes.error().why()));
    return roundFromJson(*bytes);
}

} // namespace shenbao::office
