#pragma once

// Helpers shared by the tests of the printed form.

#include "record/applicationrecord.h"
#include "record/fields.h"
#include "report/fillreport.h"
#include "report/fonts.h"
#include "report/sheetlayout.h"

#include <QStringList>
#include <vector>

namespace shenbao::test {

inline void initFonts()
{
    installFontSubstitutions();
}

// n paragraphs of a few Chinese characters each: n memo lines in any box of the form.
inline QString shortLines(int n, const QString& stem = QStringLiteral("行"))
{
    QStringList lines;
    for (int i = 1; i <= n; ++i)
        lines.append(stem + QString::number(i));
    return lines.join(QStringLiteral("\r\n"));
}

inline ReportLayout layoutOf(const ApplicationRecord& record, bool official = false)
{
    ReportDesign design = builtInDesign();
    fillReport(design, record, official);
    return layoutReport(design);
}

inline std::vector<const Sheet*> sheetsOf(const ReportLayout& layout, const QString& page)
{
    std::vector<const Sheet*> out;
    for (const Sheet& s : layout.sheets)
        if (s.page == page)
            out.push_back(&s);
    return out;
}

inline std::vector<const SheetText*> textsOf(const Sheet& sheet, const QString& item)
{
    std::vector<const SheetText*> out;
    for (const SheetOp& op : sheet.ops)
        if (const auto* t = std::get_if<SheetText>(&op); t && t->item == item)
            out.push_back(t);
    return out;
}

inline const SheetText* findText(const Sheet& sheet, const QString& text)
{
    for (const SheetOp& op : sheet.ops)
        if (const auto* t = std::get_if<SheetText>(&op); t && t->text == text)
            return t;
    return nullptr;
}

inline std::vector<const SheetImage*> imagesOf(const Sheet& sheet)
{
    std::vector<const SheetImage*> out;
    for (const SheetOp& op : sheet.ops)
        if (const auto* i = std::get_if<SheetImage>(&op))
            out.push_back(i);
    return out;
}

// The page number printed on a sheet, or "" when it has none.
inline QString pageNumberOf(const Sheet& sheet)
{
    for (const SheetOp& op : sheet.ops)
        if (const auto* t = std::get_if<SheetText>(&op); t && t->kind == ItemKind::PageNumber)
            return t->text;
    return {};
}

// Writes a value into the record by its report item name: a field, or a table cell such as
// "Production24" (row 2, column 4).
inline void setByItem(ApplicationRecord& record, const QString& item, const QString& value)
{
    if (auto f = fieldByName(item)) {
        record.setValue(*f, value);
        return;
    }
    for (Field t : kTableFields) {
        const QString base = fieldName(t);
        if (!item.startsWith(base))
            continue;
        const QString rc = item.mid(base.size());
        // The last digit is the column (no table has ten columns), the rest the row.
        const int row = rc.left(rc.size() - 1).toInt();
        const int column = rc.right(1).toInt();
        if (row >= 1 && row <= tableRows(t) && column >= 1 && column <= tableColumns(t)) {
            record.table(t).setCell(row, column - 1, value);
            return;
        }
    }
    qFatal("no item %s", qPrintable(item));
}

} // namespace shenbao::test
