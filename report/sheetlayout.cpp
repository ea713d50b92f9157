#include "report/sheetlayout.h"

#include "report/textlayout.h"

#include <QSet>
#include <algorithm>
#include <unordered_map>

namespace shenbao {

QSize pictureSize(Picture picture)
{
    switch (picture) {
    case Picture::Watermark:
        return {320, 320};
    case Picture::Banner:
        return {1022, 85};
    case Picture::None:
        break;
    }
    return {};
}

namespace {

// A memo's lines and how far it has drawn them.
struct MemoState
{
    std::vector<MemoLine> lines;
    std::size_t next = 0; // first line not drawn yet
    bool done() const { return next >= lines.size(); }
};

class PageLayouter
{
public:
    PageLayouter(const ReportDesign& design, TextMeasurer& measurer, int& sheetCount, int& resetSheet)
        : m_design(design), m_measurer(measurer), m_sheetCount(sheetCount), m_resetSheet(resetSheet)
    {
    }

    // Draws one sheet of page; returns whether the page is finished.
    bool drawSheet(const ReportPage& page, Sheet& sheet, bool repeat)
    {
        m_sheet = &sheet;
        m_repeat = repeat;
        bool finished = true;
        for (const ReportItem& item : page.items)
            if (!drawItem(item, 0, 0))
                finished = false;
        return finished;
    }

private:
    MemoState& state(const ReportItem& memo, double width)
    {
        auto [it, inserted] = m_memos.try_emplace(&memo);
        if (inserted) {
            // A box draws at most a sheet's height of lines a sheet: more lines than that many
            // sheets can hold would pass the sheet bound anyway, so breaking stops there.
            FontMeasure& fm = m_measurer.font(memo.font);
            const double perSheet = m_sheet->height / std::max(fm.pitch(), 0.01) + 1;
            it->second.lines = breakLines(memo.text, width, fm, std::size_t(perSheet) * (kMaxSheets + 1));
        }
        return it->second;
    }

    // A flowing memo that still has text left continues from it; every other starts again from
    // its beginning, so static texts and cut values reappear whole on each repeat sheet.
    static std::size_t firstLine(const ReportItem& memo, const MemoState& s)
    {
        return (memo.flowing && s.next > 0 && !s.done()) ? s.next : 0;
    }

    // Draws the item; false when it has text left for another sheet.
    bool drawItem(const ReportItem& item, double dx, double dy)
    {
        switch (item.kind) {
        case ItemKind::Text:
            drawText(item, dx, dy);
            return true;
        case ItemKind::Memo:
            return drawMemo(item, dx, dy, item.height);
        case ItemKind::PageNumber:
            drawPageNumber(item, dx, dy);
            return true;
        case ItemKind::Rule: {
            const QPointF from(dx + item.left, dy + item.top);
            const QPointF to = item.vertical ? from + QPointF(0, item.width) : from + QPointF(item.width, 0);
            m_sheet->ops.push_back(SheetLine{from, to, item.onePoint ? 1.0 : 0.0});
            return true;
        }
        case ItemKind::Frame:
            m_sheet->ops.push_back(SheetRect{QRectF(dx + item.left, dy + item.top, item.width, item.height),
                                             item.whiteFill, 1.5});
            return true;
        case ItemKind::Image:
            drawImage(item, dx, dy);
            return true;
        case ItemKind::PageNumberReset:
            m_resetSheet = m_sheetCount;
            return true;
        case ItemKind::Region:
            return drawRegion(item);
        }
        return true;
    }

    void drawText(const ReportItem& item, double dx, double dy)
    {
        const ReportItem& src = m_design.resolve(item);
        if (!src.visible || src.text.isEmpty())
            return;
        FontMeasure& fm = m_measurer.font(src.font);
        SheetText t;
        t.item = item.name;
        t.kind = ItemKind::Text;
        t.font = src.font;
        t.text = src.text;
        t.x = dx + item.left;
        t.top = dy + item.top;
        t.baseline = t.top + fm.ascent();
        t.rotation = src.rotation;
        if (src.rotation == 270) {
            // Vertical writing: upright characters running down from the top, each taking its own
            // advance; the column's left edge is at left. The em box of each character starts at y.
            const double em = src.font.pointSize / 72.0;
            const double up = fm.ascent() / (fm.ascent() + fm.descent()) * em;
            double y = t.top;
            for (char32_t c : src.text.toUcs4()) {
                t.positions.emplace_back(t.x, y + up);
                y += fm.advance(c);
            }
        }
        m_sheet->ops.push_back(std::move(t));
    }

    bool drawMemo(const ReportItem& item, double dx, double dy, double height)
    {
        if (!item.visible)
            return true;
        MemoState& s = state(item, item.width);
        FontMeasure& fm = m_measurer.font(item.font);
        const int capacity = linesInBox(height, fm.pitch());
        const std::size_t first = firstLine(item, s);
        const std::size_t end = std::min(s.lines.size(), first + std::size_t(std::max(capacity, 0)));
        for (std::size_t k = first; k < end; ++k)
            emitLine(item, fm, s.lines[k], dx + item.left, dy + item.top + double(k - first) * fm.pitch());
        s.next = end;
        // A box that holds no line cannot make progress: it truncates whatever it is.
        if (!item.flowing || capacity <= 0)
            return true;
        return s.done();
    }

    void emitLine(const ReportItem& item, FontMeasure& fm, const MemoLine& line, double x, double top)
    {
        if (line.text.isEmpty())
            return;
        SheetText t;
        t.item = item.name;
        t.kind = ItemKind::Memo;
        t.font = item.font;
        t.text = line.text;
        t.x = x;
        t.top = top;
        t.baseline = top + fm.ascent();
        if (item.justify == Justify::Block && !line.endsParagraph)
            justify(t, fm, item.width);
        m_sheet->ops.push_back(std::move(t));
    }

    // Stretches a line to the box width by spreading the spare room over the gaps between its
    // characters (the form's text is Chinese, which has no blanks to widen).
    static void justify(SheetText& t, FontMeasure& fm, double boxWidth)
    {
        const QList<uint> chars = t.text.toUcs4();
        qsizetype count = chars.size();
        while (count > 0 && chars[count - 1] == u' ')
            --count; // blanks a wrapped line ends with do not reach the edge
        if (count < 2)
            return;
        double natural = 0;
        for (qsizetype k = 0; k < count; ++k)
            natural += fm.advance(chars[k]);
        const double gap = (boxWidth - natural) / double(count - 1);
        if (gap <= 0)
            return;
        double x = t.x;
        for (qsizetype k = 0; k < chars.size(); ++k) {
            t.positions.emplace_back(x, t.baseline);
            x += fm.advance(chars[k]) + (k < count - 1 ? gap : 0);
        }
    }

    void drawPageNumber(const ReportItem& item, double dx, double dy)
    {
        if (!item.visible)
            return;
        FontMeasure& fm = m_measurer.font(item.font);
        SheetText t;
        t.item = item.name;
        t.kind = ItemKind::PageNumber;
        t.font = item.font;
        t.text = u'-' + QString::number(m_sheetCount - m_resetSheet) + u'-';
        t.x = dx + item.left;
        t.top = dy + item.top;
        t.baseline = t.top + fm.ascent();
        m_sheet->ops.push_back(std::move(t));
    }

    void drawImage(const ReportItem& item, double dx, double dy)
    {
        const ReportItem& src = m_design.resolve(item);
        if (!src.visible || src.picture == Picture::None)
            return;
        const QSize px = pictureSize(src.picture);
        const double height = src.width * px.height() / px.width();
        m_sheet->ops.push_back(
            SheetImage{item.name, src.picture, QRectF(dx + item.left, dy + item.top, src.width, height)});
    }

    // The band starts at the region's top-left corner and grows to hold its body memo's text,
    // from its design height up to the region's height; the body memo grows with it. Repeat
    // sheets show the body memo only, at its own place.
    bool drawRegion(const ReportItem& region)
    {
        if (!region.band)
            return true;
        const ReportBand& band = *region.band;
        const ReportItem* body = nullptr;
        for (const ReportItem& it : band.items)
            if (it.kind == ItemKind::Memo && it.flowing)
                body = &it;
        const double x0 = region.left;
        const double y0 = region.top;
        if (!body) {
            if (!m_repeat)
                for (const ReportItem& it : band.items)
                    drawItem(it, x0, y0);
            return true;
        }
        MemoState& s = state(*body, body->width);
        const double pitch = body->font.linePitch();
        const double belowBody = band.height - (body->top + body->height);
        const std::size_t remaining = s.lines.size() - firstLine(*body, s);
        const double needed = body->top + double(remaining) * pitch + belowBody;
        const double bandHeight = std::min(std::max(band.height, needed), region.height);
        const double bodyHeight = bandHeight - body->top - belowBody;
        bool finished = true;
        for (const ReportItem& it : band.items) {
            if (&it == body)
                finished = drawMemo(it, x0, y0, bodyHeight);
            else if (!m_repeat)
                drawItem(it, x0, y0);
        }
        return finished;
    }

    const ReportDesign& m_design;
    TextMeasurer& m_measurer;
    int& m_sheetCount;
    int& m_resetSheet;
    Sheet* m_sheet = nullptr;
    bool m_repeat = false;
    std::unordered_map<const ReportItem*, MemoState> m_memos; // node-based: references stay valid
};

} // namespace

ReportLayout layoutReport(const ReportDesign& design, const SheetProgress& progress)
{
    ReportLayout result;
    if (design.pages().empty())
        return result;
    TextMeasurer measurer;
    int sheetCount = 0;
    int resetSheet = 0;
    QSet<const ReportPage*> seen; // a chain that loops back ends the report instead of never ending
    for (const ReportPage* page = &design.pages().front(); page && !seen.contains(page);
         page = page->next.isEmpty() ? nullptr : design.page(page->next)) {
        seen.insert(page);
        PageLayouter layouter(design, measurer, sheetCount, resetSheet);
        bool finished = false;
        for (bool repeat = false; !finished; repeat = true) {
            if (sheetCount == kMaxSheets) {
                result.sheets.clear();
                result.tooLong = true;
                return result;
            }
            ++sheetCount;
            if (progress && !progress(sheetCount)) {
                result.cancelled = true;
                return result;
            }
            Sheet sheet;
            sheet.number = sheetCount;
            sheet.page = page->name;
            sheet.repeat = repeat;
            sheet.width = page->width;
            sheet.height = page->height;
            finished = layouter.drawSheet(*page, sheet, repeat);
            result.sheets.push_back(std::move(sheet));
        }
    }
    return result;
}

} // namespace shenbao
