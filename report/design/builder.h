#pragma once

// Shorthands the page files write their items with. Positions are in inches on the sheet,
// also for the items of a band (region() moves them into the band's own coordinates).

#include "report/reportdesign.h"

#include <initializer_list>
#include <vector>

namespace shenbao::design {

FontSpec song(double pt);
FontSpec hei(double pt);
FontSpec kai(double pt, bool bold = false);
FontSpec fangsong(double pt, bool bold = false);
FontSpec arial(double pt);
FontSpec times(double pt);

enum class Memo { Truncating, Flowing };
enum class Line { Hairline, OnePoint };
enum class Fill { Clear, White };

// A static or named text item.
ReportItem text(double left, double top, double width, const FontSpec& font, const QString& text,
                const QString& name = {});
// A static label in 宋体, as wide as its characters.
ReportItem label(double left, double top, const QString& text, double pt);
// A value item: named after what fills it, holding its name as the placeholder text.
ReportItem value(const QString& name, double left, double top, double width, const FontSpec& font);
// A text in vertical writing ("宋体" turned 270°, characters upright), running down from top.
ReportItem verticalText(double left, double top, double length, const FontSpec& font, const QString& text);
ReportItem memo(double left, double top, double width, double height, const FontSpec& font, Memo mode,
                const QString& text, const QString& name = {});
ReportItem valueMemo(const QString& name, double left, double top, double width, double height,
                     const FontSpec& font, Memo mode);
// The same for a field's own item, named after the field.
ReportItem value(Field field, double left, double top, double width, const FontSpec& font);
ReportItem valueMemo(Field field, double left, double top, double width, double height, const FontSpec& font,
                     Memo mode);
ReportItem hRule(double left, double top, double length, Line weight = Line::Hairline);
ReportItem vRule(double left, double top, double length, Line weight = Line::Hairline);
ReportItem frame(double left, double top, double width, double height, Fill fill);
ReportItem pageNumber(const QString& name = QStringLiteral("DataText1"));
ReportItem pageNumberReset();

// The marks: the masters (on Page1 and Page6) and their copies.
ReportItem informalMaster();
ReportItem watermarkMaster();
ReportItem bannerMaster(double left, double top);
ReportItem informalCopy(double left, double top);
ReportItem watermarkCopy(); // at 2.0, 5.0, the first item of its page
ReportItem bannerCopy(double left, double top, const QString& name);

// A region holding one band; the band items are given on the sheet.
ReportItem region(double left, double top, double width, double height, double bandHeight,
                  std::vector<ReportItem> bandItems);

ReportPage page(const QString& name, const QString& next, std::initializer_list<ReportItem> items);

} // namespace shenbao::design
