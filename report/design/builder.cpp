#include "report/design/builder.h"

using namespace Qt::StringLiterals;

namespace shenbao::design {

FontSpec song(double pt)
{
    return {u"宋体"_s, pt, false};
}

FontSpec hei(double pt)
{
    return {u"黑体"_s, pt, false};
}

FontSpec kai(double pt, bool bold)
{
    return {u"楷体_GB2312"_s, pt, bold};
}

FontSpec fangsong(double pt, bool bold)
{
    return {u"仿宋_GB2312"_s, pt, bold};
}

FontSpec arial(double pt)
{
    return {u"Arial"_s, pt, false};
}

FontSpec times(double pt)
{
    return {u"Times New Roman"_s, pt, false};
}

ReportItem text(double left, double top, double width, const FontSpec& font, const QString& text,
                const QString& name)
{
    ReportItem it;
    it.kind = ItemKind::Text;
    it.name = name;
    it.left = left;
    it.top = top;
    it.width = width;
    it.font = font;
    it.text = text;
    return it;
}

ReportItem label(double left, double top, const QString& s, double pt)
{
    return text(left, top, s.size() * pt / 72.0, song(pt), s);
}

ReportItem value(const QString& name, double left, double top, double width, const FontSpec& font)
{
    return text(left, top, width, font, name, name);
}

ReportItem verticalText(double left, double top, double length, const FontSpec& font, const QString& s)
{
    ReportItem it = text(left, top, length, font, s);
    it.rotation = 270;
    return it;
}

ReportItem memo(double left, double top, double width, double height, const FontSpec& font, Memo mode,
                const QString& text, const QString& name)
{
    ReportItem it;
    it.kind = ItemKind::Memo;
    it.name = name;
    it.left = left;
    it.top = top;
    it.width = width;
    it.height = height;
    it.font = font;
    it.text = text;
    it.flowing = mode == Memo::Flowing;
    return it;
}

ReportItem valueMemo(const QString& name, double left, double top, double width, double height,
                     const FontSpec& font, Memo mode)
{
    return memo(left, top, width, height, font, mode, name, name);
}

static ReportItem rule(double left, double top, double length, Line weight, bool vertical)
{
    ReportItem it;
    it.kind = ItemKind::Rule;
    it.left = left;
    it.top = top;
    it.width = length;
    it.vertical = vertical;
    it.onePoint = weight == Line::OnePoint;
    return it;
}

ReportItem value(Field field, double left, double top, double width, const FontSpec& font)
{
    return value(fieldName(field), left, top, width, font);
}

ReportItem valueMemo(Field field, double left, double top, double width, double height, const FontSpec& font,
                     Memo mode)
{
    return valueMemo(fieldName(field), left, top, width, height, font, mode);
}

ReportItem hRule(double left, double top, double length, Line weight)
{
    return rule(left, top, length, weight, false);
}

ReportItem vRule(double left, double top, double length, Line weight)
{
    return rule(left, top, length, weight, true);
}

ReportItem frame(double left, double top, double width, double height, Fill fill)
{
    ReportItem it;
    it.kind = ItemKind::Frame;
    it.left = left;
    it.top = top;
    it.width = width;
    it.height = height;
    it.whiteFill = fill == Fill::White;
    return it;
}

ReportItem pageNumber(const QString& name)
{
    ReportItem it = text(7.4, 10.8, 1.0, arial(10), u"'-' & Report.RelativePage & '-'"_s, name);
    it.kind = ItemKind::PageNumber;
    return it;
}

ReportItem pageNumberReset()
{
    ReportItem it;
    it.kind = ItemKind::PageNumberReset;
    it.name = u"PageNumInit1"_s;
    return it;
}

ReportItem informalMaster()
{
    return text(3.0, 0.5, 2.7, song(16), u"非正式文档 仅供个人校对"_s, u"informal"_s);
}

static ReportItem image(double left, double top, double width, Picture picture, const QString& name)
{
    ReportItem it;
    it.kind = ItemKind::Image;
    it.name = name;
    it.left = left;
    it.top = top;
    it.width = width;
    it.picture = picture;
    return it;
}

ReportItem watermarkMaster()
{
    ReportItem it = image(2.0, 3.0, 3.5, Picture::Watermark, u"Bitmap1"_s);
    it.visible = false;
    return it;
}

ReportItem bannerMaster(double left, double top)
{
    return image(left, top, 3.4, Picture::Banner, u"Bitmap1"_s);
}

ReportItem informalCopy(double left, double top)
{
    ReportItem it = informalMaster();
    it.left = left;
    it.top = top;
    it.masterPage = u"Page1"_s;
    it.masterName = u"informal"_s;
    return it;
}

ReportItem watermarkCopy()
{
    ReportItem it = watermarkMaster();
    it.left = 2.0;
    it.top = 5.0;
    it.masterPage = u"Page1"_s;
    it.masterName = u"Bitmap1"_s;
    return it;
}

ReportItem bannerCopy(double left, double top, const QString& name)
{
    ReportItem it = bannerMaster(left, top);
    it.name = name;
    it.masterPage = u"Page6"_s;
    it.masterName = u"Bitmap1"_s;
    return it;
}

ReportItem region(double left, double top, double width, double height, double bandHeight,
                  std::vector<ReportItem> bandItems)
{
    ReportItem it;
    it.kind = ItemKind::Region;
    it.name = u"Region1"_s;
    it.left = left;
    it.top = top;
    it.width = width;
    it.height = height;
    it.band = std::make_shared<ReportBand>();
    it.band->height = bandHeight;
    for (ReportItem inner : bandItems) {
        inner.left -= left;
        inner.top -= top;
        it.band->items.push_back(std::move(inner));
    }
    return it;
}

ReportPage page(const QString& name, const QString& next, std::initializer_list<ReportItem> items)
{
    ReportPage p;
    p.name = name;
    p.next = next;
    p.items.assign(items.begin(), items.end());
    return p;
}

} // namespace shenbao::design
