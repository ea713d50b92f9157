#include "app/preview/reportstatus.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace shenbao {

QString statusText(const QString& pattern, int sheetNumber)
{
    QString out;
    out.reserve(pattern.size() + 4);
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == u'%' && i + 1 < pattern.size() && (pattern[i + 1] == u'p' || pattern[i + 1] == u'P')) {
            out += QString::number(sheetNumber);
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

ReportStatus::ReportStatus(const QString& pattern, QWidget* parent)
    : QDialog(parent), m_pattern(pattern), m_text(new QLabel(this)), m_cancel(new QPushButton(QStringLiteral("取消"), this))
{
    setObjectName(QStringLiteral("ReportStatus"));
    setWindowTitle(QStringLiteral("报表状态"));
    setWindowModality(Qt::ApplicationModal);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_text->setObjectName(QStringLiteral("statusText"));
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setMinimumWidth(m_text->fontMetrics().horizontalAdvance(statusText(m_pattern, 888)) + 40);
    m_text->setText(statusText(m_pattern, 1));
    m_cancel->setObjectName(QStringLiteral("cancel"));
    connect(m_cancel, &QPushButton::clicked, this, &ReportStatus::cancel);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addLayout(buttons);
    setFixedSize(sizeHint());
}

bool ReportStatus::sheetBegins(int sheetNumber)
{
    m_text->setText(statusText(m_pattern, sheetNumber));
    // The work holds the event loop: let the text show and the cancel button be pressed.
    QCoreApplication::processEvents();
    return !m_cancelled;
}

QString ReportStatus::text() const
{
    return m_text->text();
}

void ReportStatus::cancel()
{
    m_cancelled = true;
    m_cancel->setEnabled(false);
}

void ReportStatus::reject()
{
    cancel();
}

} // namespace shenbao
