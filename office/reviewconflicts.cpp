#include "office/reviewconflicts.h"

#include "check/textfold.h"
#include "office/reviewmessages.h"

#include <QHash>

#include <algorithm>
#include <set>
#include <unordered_map>

namespace shenbao::office {
namespace {

// A name shorter than this is no name to look for in a recommender's text.
constexpr qsizetype kShortestName = 2;

QStringList foldedAll(const QStringList& list)
{
    QStringList out;
    for (const QString& s : list)
        if (QString f = fold::folded(s); !f.isEmpty())
            out.append(std::move(f));
    return out;
}

// Experts by a folded text of theirs (unit, city, name, a unit to avoid).
class ExpertsBy
{
public:
    void add(const QString& key, int expert)
    {
        if (!key.isEmpty())
            m_map[key].push_back(expert);
    }
    void collect(const QString& key, std::vector<int>& into) const
    {
        if (const auto it = m_map.find(key); it != m_map.end())
            into.insert(into.end(), it->second.begin(), it->second.end());
    }

private:
    std::unordered_map<QString, std::vector<int>> m_map;
};

} // namespace

std::vector<std::vector<int>> findConflicts(const std::vector<ReviewApplication>& applications,
                                            const std::vector<Expert>& experts, ConflictRules rules)
{
    ExpertsBy byUnit, byAvoided, byCity, byName;
    std::set<qsizetype> nameLengths;
    for (int e = 0; e < int(experts.size()); ++e) {
        const Expert& x = experts[std::size_t(e)];
        byUnit.add(fold::folded(x.unit), e);
        for (const QString& u : foldedAll(x.avoidUnits))
            byAvoided.add(u, e);
        if (rules.avoidCity)
            byCity.add(fold::folded(x.city), e);
        const QString name = fold::folded(x.name);
        byName.add(name, e);
        if (name.size() >= kShortestName)
            nameLengths.insert(name.size());
    }
    std::vector<std::vector<int>> conflicts(applications.size());
    for (std::size_t a = 0; a < applications.size(); ++a) {
        const ReviewApplication& app = applications[a];
        std::vector<int>& c = conflicts[a];
        for (const QString& u : foldedAll(app.units)) {
            byUnit.collect(u, c);
            byAvoided.collect(u, c);
        }
        for (const QString& n : foldedAll(app.names))
            byName.collect(n, c);
        if (rules.avoidCity)
            byCity.collect(fold::folded(app.city), c);
        // A recommender signs the opinion: every run of a name's length in it is looked up.
        const QString signed_ = fold::folded(app.recommenders);
        for (const qsizetype length : nameLengths)
            for (qsizetype i = 0; i + length <= signed_.size(); ++i)
                byName.collect(signed_.mid(i, length), c);
        std::sort(c.begin(), c.end());
        c.erase(std::unique(c.begin(), c.end()), c.end());
    }
    return conflicts;
}

QString conflictOf(const ReviewApplication& application, const Expert& expert, ConflictRules rules)
{
    const QString unit = fold::folded(expert.unit);
    const QString name = fold::folded(expert.name);
    const QStringList units = foldedAll(application.units);
    if (!unit.isEmpty() && units.contains(unit))
        return reviewmsg::sameUnit(expert.unit);
    for (const QString& avoided : foldedAll(expert.avoidUnits))
        if (units.contains(avoided))
            return reviewmsg::avoidedUnit(avoided);
    if (!name.isEmpty() && foldedAll(application.names).contains(name))
        return reviewmsg::namedInApplication(expert.name);
    if (name.size() >= kShortestName && fold::folded(application.recommenders).contains(name))
        return reviewmsg::namedAsRecommender(expert.name);
    if (rules.avoidCity && !fold::folded(expert.city).isEmpty() &&
        fold::folded(expert.city) == fold::folded(application.city))
        return reviewmsg::sameCity(expert.city);
    return {};
}

} // namespace shenbao::office
