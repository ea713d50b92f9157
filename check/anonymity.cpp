#include "check/anonymity.h"

#include "check/textfold.h"
#include "record/textrules.h"

#include <algorithm>
#include <bitset>
#include <deque>
#include <memory>

using namespace Qt::StringLiterals;

namespace shenbao {
namespace {

// What the loose leaves print (Page14: ProjectName and ProjectReasoning; Page15: ProjectAnalyze).
constexpr Field kSearched[] = {Field::ProjectName, Field::ProjectReasoning, Field::ProjectAnalyze};
constexpr int kContext = 10;
constexpr int kNameColumn = 0, kUnitColumn = 6;

bool isHan(char32_t c)
{
    return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0x20000 && c <= 0x2FFFF);
}

struct Needle
{
    QString folded;
    Field source;
    int row = 0;
    bool unit = false;
};

class Needles
{
public:
    void add(const QString& text, Field source, int row, bool unit)
    {
        const QString f = fold::folded(text);
        // One character names nobody for sure, and would be found everywhere.
        if (f.size() < 2)
            return;
        for (const Needle& n : m_all)
            if (n.folded == f)
                return;
        m_all.push_back({f, source, row, unit});
    }

    // A unit, and the unit without the city the application names (BelongCity: "岚川市", or "岚川").
    void addUnit(const QString& unit, Field source, int row, const QString& city)
    {
        add(unit, source, row, true);
        const QString u = fold::folded(unit);
        const QString c = fold::folded(city);
        for (const QString& prefix : {c, c.endsWith(u'市') || c.endsWith(u'州') ? c.chopped(1) : QString()})
            if (prefix.size() >= 2 && u.startsWith(prefix) && u.size() - prefix.size() >= 4)
                add(u.mid(prefix.size()), source, row, true);
    }

    const std::vector<Needle>& all() const { return m_all; }

private:
    std::vector<Needle> m_all;
};

Needles needlesOf(const ApplicationRecord& r)
{
    Needles needles;
    const QString city = r.value(Field::BelongCity);
    needles.add(r.value(Field::Presider), Field::Presider, 0, false);
    const TableGrid& actors = r.table(Field::MainActor);
    for (int row = 1; row <= actors.rows(); ++row)
        needles.add(actors.cell(row, kNameColumn), Field::MainActor, row, false);
    needles.addUnit(r.value(Field::Department), Field::Department, 0, city);
    for (int row = 1; row <= actors.rows(); ++row)
        needles.addUnit(actors.cell(row, kUnitColumn), Field::MainActor, row, city);
    for (Field f : {Field::OutlayDepartment, Field::OutlayBank, Field::ContactAddress})
        needles.addUnit(r.value(f), f, 0, city);
    return needles;
}

// All needles at once (Aho–Corasick): one pass over a text finds every place any of them ends.
class Automaton
{
public:
    explicit Automaton(const std::vector<Needle>& needles)
    {
        m_nodes.emplace_back();
        for (std::size_t k = 0; k < needles.size(); ++k) {
            int node = 0;
            for (const QChar c : needles[k].folded) {
                int next = child(node, c.unicode());
                if (next < 0) {
                    next = int(m_nodes.size());
                    m_nodes.push_back({});
                    m_nodes[std::size_t(next)].depth = m_nodes[std::size_t(node)].depth + 1;
                    m_nodes[std::size_t(node)].next.emplace_back(c.unicode(), next);
                }
                node = next;
            }
            m_nodes[std::size_t(node)].needle = int(k);
            m_longest = std::max(m_longest, int(needles[k].folded.size()));
        }
        for (const auto& [c, next] : m_nodes[0].next)
            m_first.set(c);
        // Breadth first: each node's fallback is the longest proper suffix that is a prefix.
        std::deque<int> queue;
        for (const auto& [c, next] : m_nodes[0].next)
            queue.push_back(next);
        while (!queue.empty()) {
            const int node = queue.front();
            queue.pop_front();
            for (const auto& [c, next] : m_nodes[std::size_t(node)].next) {
                int f = m_nodes[std::size_t(node)].fail;
                while (f && child(f, c) < 0)
                    f = m_nodes[std::size_t(f)].fail;
                const int to = child(f, c);
                Node& n = m_nodes[std::size_t(next)];
                n.fail = to >= 0 && to != next ? to : 0;
                const Node& fallback = m_nodes[std::size_t(n.fail)];
                n.output = fallback.needle >= 0 ? n.fail : fallback.output;
                queue.push_back(next);
            }
        }
    }

    int longest() const { return m_longest; }

    int step(int state, char16_t c) const
    {
        if (state == 0 && !m_first.test(c))
            return 0;
        for (;;) {
            if (const int next = child(state, c); next >= 0)
                return next;
            if (state == 0)
                return 0;
            state = m_nodes[std::size_t(state)].fail;
        }
    }

    // The needles that end in state, longest first: fn(needle, length).
    template <class Fn> void matches(int state, Fn fn) const
    {
        for (int n = m_nodes[std::size_t(state)].needle >= 0 ? state : m_nodes[std::size_t(state)].output;
             n > 0; n = m_nodes[std::size_t(n)].output)
            fn(m_nodes[std::size_t(n)].needle, m_nodes[std::size_t(n)].depth);
    }

private:
    struct Node
    {
        std::vector<std::pair<char16_t, int>> next;
        int fail = 0;
        int needle = -1; // the needle that ends here
        int output = -1; // the nearest fallback where a needle ends
        int depth = 0;
    };

    int child(int node, char16_t c) const
    {
        for (const auto& [k, next] : m_nodes[std::size_t(node)].next)
            if (k == c)
                return next;
        return -1;
    }

    std::vector<Node> m_nodes;
    std::bitset<65536> m_first;
    int m_longest = 1;
};

QString contextOf(QStringView text, qsizetype at, qsizetype length)
{
    const qsizetype from = std::max<qsizetype>(0, at - kContext);
    const qsizetype to = std::min<qsizetype>(text.size(), at + length + kContext);
    QString c = text.mid(from, to - from).toString();
    c.replace(u"\r\n"_s, u" "_s).replace(u'\n', u' ').replace(u'\r', u' ');
    return visibleControls((from > 0 ? u"…"_s : QString()) + c + (to < text.size() ? u"…"_s : QString()));
}

// The nearest character of text before at (or from at on) that is not blank.
char32_t neighbour(QStringView text, qsizetype at, bool before)
{
    if (before) {
        for (qsizetype i = at - 1; i >= 0; --i) {
            const qsizetype start =
                i > 0 && text[i].isLowSurrogate() && text[i - 1].isHighSurrogate() ? i - 1 : i;
            const char32_t c = fold::codePoint(text, start).first;
            if (!fold::isBlank(c))
                return c;
            i = start;
        }
        return 0;
    }
    for (qsizetype i = at; i < text.size();) {
        const auto [c, n] = fold::codePoint(text, i);
        if (!fold::isBlank(c))
            return c;
        i += n;
    }
    return 0;
}

// One text searched. Matches come in the order they end; one that lies inside another (a unit
// found whole is not found again without its city) is left out. Pending matches start in
// increasing order, and none can be covered by a later one once the text has moved on past its
// start by the longest needle: then it is final.
class Scan
{
public:
    Scan(Field field, QStringView text, const std::vector<Needle>& needles, const Automaton& automaton,
         AnonymityFindings& findings, qsizetype maxHits)
        : m_field(field), m_text(text), m_needles(needles), m_automaton(automaton), m_findings(findings),
          m_maxHits(maxHits), m_ring(std::size_t(automaton.longest()) + 1)
    {
    }

    void run()
    {
        int state = 0;
        qsizetype position = 0; // of the folded text
        QString units;
        for (qsizetype i = 0; i < m_text.size();) {
            const auto [c, n] = fold::codePoint(m_text, i);
            if (!fold::isBlank(c)) {
                units.clear();
                fold::append(c, units);
                for (const QChar u : units) {
                    m_ring[std::size_t(position % qsizetype(m_ring.size()))] = {i, i + n};
                    state = m_automaton.step(state, u.unicode());
                    m_automaton.matches(state,
                                        [&](int needle, int length) { found(needle, length, position); });
                    ++position;
                    while (!m_pending.empty() &&
                           m_pending.front().start < position + 1 - m_automaton.longest())
                        settle();
                }
            }
            i += n;
        }
        while (!m_pending.empty())
            settle();
    }

private:
    struct Match
    {
        qsizetype start, end; // folded, end inclusive
        qsizetype at, to;     // in the text
        int needle;
    };

    void found(int needle, int length, qsizetype end)
    {
        const qsizetype start = end - length + 1;
        // Of two ending here the longer came first and covers this one.
        if (!m_pending.empty() && m_pending.back().end == end && m_pending.back().start <= start)
            return;
        while (!m_pending.empty() && m_pending.back().start >= start)
            m_pending.pop_back(); // inside this one
        const auto& first = m_ring[std::size_t(start % qsizetype(m_ring.size()))];
        const auto& last = m_ring[std::size_t(end % qsizetype(m_ring.size()))];
        m_pending.push_back({start, end, first.first, last.second, needle});
    }

    void settle()
    {
        const Match m = m_pending.front();
        m_pending.pop_front();
        ++m_findings.total;
        if (qsizetype(m_findings.hits.size()) >= m_maxHits)
            return;
        for (; m_lineAt < m.at; ++m_lineAt) {
            const QChar c = m_text[m_lineAt];
            if (c == u'\n' ||
                (c == u'\r' && (m_lineAt + 1 >= m_text.size() || m_text[m_lineAt + 1] != u'\n')))
                ++m_line;
        }
        const Needle& n = m_needles[std::size_t(m.needle)];
        AnonymityHit hit;
        hit.field = m_field;
        hit.line = m_line;
        hit.at = m.at;
        hit.length = m.to - m.at;
        hit.text = m_text.mid(m.at, hit.length).toString();
        hit.source = n.source;
        hit.sourceRow = n.row;
        hit.unit = n.unit;
        hit.context = contextOf(m_text, m.at, hit.length);
        hit.weak = !n.unit && n.folded.size() == 2 &&
                   (isHan(neighbour(m_text, m.at, true)) || isHan(neighbour(m_text, m.to, false)));
        m_findings.hits.push_back(std::move(hit));
    }

    Field m_field;
    QStringView m_text;
    const std::vector<Needle>& m_needles;
    const Automaton& m_automaton;
    AnonymityFindings& m_findings;
    qsizetype m_maxHits;
    std::vector<std::pair<qsizetype, qsizetype>> m_ring; // the text's span of each recent folded unit
    std::deque<Match> m_pending;
    qsizetype m_lineAt = 0;
    int m_line = 1;
};

} // namespace

AnonymityFindings findNamesInLooseLeaves(const ApplicationRecord& record, qsizetype maxHits)
{
    AnonymityFindings findings;
    const Needles needles = needlesOf(record);
    if (needles.all().empty())
        return findings;
    const Automaton automaton(needles.all());
    for (Field f : kSearched) {
        const QString text = record.value(f);
        Scan(f, text, needles.all(), automaton, findings, maxHits).run();
    }
    return findings;
}

QString anonymitySourceName(const AnonymityHit& hit)
{
    if (hit.source == Field::MainActor)
        return hit.unit ? u"MainActor 第%1行 工作单位"_s.arg(hit.sourceRow)
                        : u"MainActor 第%1行 姓名"_s.arg(hit.sourceRow);
    return fieldName(hit.source);
}

} // namespace shenbao
