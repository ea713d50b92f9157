#include "report/reportdesign.h"

namespace shenbao {
namespace {

void deepenBands(std::vector<ReportItem>& items)
{
    for (ReportItem& item : items) {
        if (item.band) {
            item.band = std::make_shared<ReportBand>(*item.band);
            deepenBands(item.band->items);
        }
    }
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

ReportDesign::ReportDesign(const ReportDesign& other) : m_name(other.m_name), m_pages(other.m_pages)
{
    for (ReportPage& p : m_pages)
        deepenBands(p.items);
}

ReportDesign& ReportDesign::operator=(const ReportDesign& other)
{
    if (this != &other) {
        ReportDesign copy(other);
        *this = std::move(copy);
    }
    return *this;
}

ReportItem* findItem(std::vector<ReportItem>& items, QStringView name)
{
    for (ReportItem& item : items) {
        if (sameName(item.name, name))
            return &item;
        if (item.band)
            if (ReportItem* inner = findItem(item.band->items, name))
                return inner;
    }
    return nullptr;
}

const ReportItem* findItem(const std::vector<ReportItem>& items, QStringView name)
{
    return findItem(const_cast<std::vector<ReportItem>&>(items), name);
}

ReportPage* ReportDesign::page(QStringView name)
{
    // "Report1.Page1": the report's own name, a dot, the page's name.
    if (name.size() > m_name.size() && name.startsWith(m_name, Qt::CaseInsensitive) &&
        name.at(m_name.size()) == u'.')
        name = name.mid(m_name.size() + 1);
    for (ReportPage& p : m_pages)
        if (sameName(p.name, name))
            return &p;
    return nullptr;
}

const ReportPage* ReportDesign::page(QStringView name) const
{
    return const_cast<ReportDesign*>(this)->page(name);
}

ReportItem* ReportDesign::item(QStringView pageName, QStringView itemName)
{
    ReportPage* p = page(pageName);
    return p ? findItem(p->items, itemName) : nullptr;
}

const ReportItem* ReportDesign::item(QStringView pageName, QStringView itemName) const
{
    return const_cast<ReportDesign*>(this)->item(pageName, itemName);
}

bool ReportDesign::setText(QStringView pageName, QStringView itemName, const QString& text)
{
    ReportItem* it = item(pageName, itemName);
    if (!it || (it->kind != ItemKind::Text && it->kind != ItemKind::Memo))
        return false;
    it->text = text;
    return true;
}

bool ReportDesign::setVisible(QStringView pageName, QStringView itemName, bool visible)
{
    ReportItem* it = item(pageName, itemName);
    if (!it)
        return false;
    it->visible = visible;
    return true;
}

const ReportItem& ReportDesign::resolve(const ReportItem& item) const
{
    if (!item.isCopy())
        return item;
    const ReportItem* master = this->item(item.masterPage, item.masterName);
    return master && master != &item ? *master : item;
}

QString cellItemName(Field table, int row, int column)
{
    return fieldName(table) + QString::number(row) + QString::number(column);
}

} // namespace shenbao
