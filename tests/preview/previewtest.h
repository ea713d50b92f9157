#pragma once

// Helpers of the preview tests: running "预览\打印" and catching what the preview was given.

#include "app/preview/previewpages.h"
#include "app/preview/reportpreview.h"
#include "report/sheet.h"

#include <QStringList>
#include <optional>
#include <vector>

namespace shenbao::testing {

// The sheets a preview was opened with.
inline std::vector<Sheet> sheetsShown(QDialog* dialog)
{
    auto* preview = qobject_cast<ReportPreview*>(dialog);
    if (!preview)
        qFatal("the modal window is no report preview");
    const auto* pages = dynamic_cast<const SheetPages*>(&preview->pages());
    if (!pages)
        qFatal("the preview shows no generated report");
    return pages->sheets();
}

// Everything a sheet draws, as text, for comparing two runs.
inline QStringList describe(const std::vector<Sheet>& sheets)
{
    QStringList out;
    for (const Sheet& s : sheets) {
        out.append(QStringLiteral("sheet %1 %2").arg(s.number).arg(s.page));
        for (const SheetOp& op : s.ops) {
            if (const auto* t = std::get_if<SheetText>(&op))
                out.append(QStringLiteral("text %1 %2 %3 %4 %5")
                               .arg(t->item, t->text)
                               .arg(t->x)
                               .arg(t->baseline)
                               .arg(t->font.face));
            else if (const auto* l = std::get_if<SheetLine>(&op))
                out.append(QStringLiteral("line %1,%2 %3,%4")
                               .arg(l->from.x())
                               .arg(l->from.y())
                               .arg(l->to.x())
                               .arg(l->to.y()));
            else if (const auto* r = std::get_if<SheetRect>(&op))
                out.append(QStringLiteral("rect %1,%2 %3x%4")
                               .arg(r->rect.x())
                               .arg(r->rect.y())
                               .arg(r->rect.width())
                               .arg(r->rect.height()));
            else if (const auto* i = std::get_if<SheetImage>(&op))
                out.append(QStringLiteral("image %1 %2").arg(i->item).arg(int(i->picture)));
        }
    }
    return out;
}

// The text an item shows over all sheets of a page, its lines joined.
inline QString itemText(const std::vector<Sheet>& sheets, const QString& page, const QString& item)
{
    QString out;
    for (const Sheet& s : sheets) {
        if (s.page != page)
            continue;
        for (const SheetOp& op : s.ops)
            if (const auto* t = std::get_if<SheetText>(&op);
                t && t->item.compare(item, Qt::CaseInsensitive) == 0)
                out += t->text;
    }
    return out;
}

} // namespace shenbao::testing
