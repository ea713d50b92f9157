#include "app/anonymitylist.h"

#include "app/messages.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace shenbao {

AnonymityList::AnonymityList(QWidget* parent)
    : QDialog(parent, Qt::Tool), m_heading(new QLabel(this)), m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("AnonymityList"));
    setWindowTitle(appmsg::anonymityTitle());
    setModal(false);
    m_heading->setWordWrap(true);
    m_list->setObjectName(QStringLiteral("anonymityHits"));
    m_list->setAccessibleName(appmsg::anonymityTitle());
    m_list->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addWidget(m_list, 1);
    resize(520, 260);
    const auto choose = [this](QListWidgetItem* item) {
        const int row = m_list->row(item);
        if (row >= 0 && row < int(m_hits.size()))
            emit hitChosen(m_hits[std::size_t(row)]);
    };
    connect(m_list, &QListWidget::itemActivated, this, choose);
}

void AnonymityList::setFindings(const AnonymityFindings& findings)
{
    m_hits = findings.hits;
    m_heading->setText(appmsg::anonymityHeading(findings.total));
    m_list->clear();
    for (const AnonymityHit& hit : m_hits)
        m_list->addItem(appmsg::anonymityHit(hit));
    if (findings.total > qsizetype(m_hits.size()))
        m_list->addItem(appmsg::moreAnonymityHits(findings.total - qsizetype(m_hits.size())));
}

QStringList AnonymityList::lines() const
{
    QStringList out;
    for (int i = 0; i < m_list->count(); ++i)
        out.append(m_list->item(i)->text());
    return out;
}

} // namespace shenbao
