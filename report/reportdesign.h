#pragma once

#include "record/fields.h"

#include <QString>
#include <memory>
#include <vector>

namespace shenbao {

// A font of the form: a face name as the design writes it ("宋体", "Arial", ...), a size in
// points and a bold flag. report/fonts.h maps the face to an installed family.
struct FontSpec
{
    QString face;
    double pointSize = 10;
    bool bold = false;

    // The height of one line of this font in inches: size ÷ 60, that is 1.2 × the size in points.
    double linePitch() const { return pointSize / 60.0; }
    bool operator==(const FontSpec&) const = default;
};

enum class ItemKind {
    Text,            // one line, never clipped
    Memo,            // text wrapped in a box
    PageNumber,      // "-", the relative page number, "-"
    Rule,            // a straight black line
    Frame,           // a rectangle with a 1.5 pt border
    Image,           // one of the two pictures
    PageNumberReset, // restarts the relative page numbers on its sheet
    Region,          // holds a band that grows down the sheet
};

enum class Justify { Left, Block };
enum class Picture { None, Watermark, Banner };

struct ReportBand;

// One item of a page. Positions and sizes are in inches from the sheet's top-left corner
// (for the items of a band: from the band's top-left corner). Which attributes matter
// depends on the kind; the others keep their defaults.
struct ReportItem
{
    ItemKind kind = ItemKind::Text;
    QString name; // may be empty for static items
    double left = 0;
    double top = 0;
    double width = 0;  // nominal for text items; the length of a rule
    double height = 0; // memos, frames, regions
    FontSpec font;
    QString text;
    bool visible = true;

    int rotation = 0; // text: 0 or 270 (vertical writing, upright characters)
    Justify justify = Justify::Left;
    bool flowing = false;   // memo: continues on repeat sheets instead of dropping lines
    bool vertical = false;  // rule
    bool onePoint = false;  // rule: 1 pt wide, else a hairline
    bool whiteFill = false; // frame
    Picture picture = Picture::None;

    // A copy shows its master's content (text and font, or picture and width) and follows the
    // master's visibility; it keeps only its own position. Empty masterPage: not a copy.
    QString masterPage;
    QString masterName;
    bool isCopy() const { return !masterPage.isEmpty(); }

    // A region's band (shared_ptr only so that items stay copyable; copied deeply with the design).
    std::shared_ptr<ReportBand> band;
};

// The one band of a region: its design height and its items, placed relative to the band's
// top-left corner. Its single flowing memo is the body memo that grows with the band.
struct ReportBand
{
    QString name = QStringLiteral("Band1");
    double height = 0;
    std::vector<ReportItem> items;
};

struct ReportPage
{
    QString name;
    double width = 8.5;
    double height = 11.0;
    std::vector<ReportItem> items; // in drawing order
    QString next;                  // the page printed after this one; empty for the last
};

// A report design: pages in a chain starting with the first. Copying a design copies
// everything, bands included, so filling one copy never changes another.
class ReportDesign
{
public:
    ReportDesign() = default;
    explicit ReportDesign(QString name) : m_name(std::move(name)) {}
    ReportDesign(const ReportDesign& other);
    ReportDesign& operator=(const ReportDesign& other);
    ReportDesign(ReportDesign&&) noexcept = default;
    ReportDesign& operator=(ReportDesign&&) noexcept = default;

    QString name() const { return m_name; }
    std::vector<ReportPage>& pages() { return m_pages; }
    const std::vector<ReportPage>& pages() const { return m_pages; }
    void addPage(ReportPage page) { m_pages.push_back(std::move(page)); }

    // A page by its name ("Page1") or its full name ("Report1.Page1"), letter case ignored;
    // nullptr when there is none.
    ReportPage* page(QStringView name);
    const ReportPage* page(QStringView name) const;

    // An item of a page by name, letter case ignored, items inside the page's bands included;
    // nullptr when there is none.
    ReportItem* item(QStringView pageName, QStringView itemName);
    const ReportItem* item(QStringView pageName, QStringView itemName) const;

    // Set the text of a text or memo item, or the visibility of any item. False when the item
    // is not found (or, for setText, is not a text or memo item); nothing changes then.
    bool setText(QStringView pageName, QStringView itemName, const QString& text);
    bool setVisible(QStringView pageName, QStringView itemName, bool visible);

    // The item a copy shows: its master, or the item itself when it is no copy. A copy whose
    // master is missing resolves to itself.
    const ReportItem& resolve(const ReportItem& item) const;

private:
    QString m_name;
    std::vector<ReportPage> m_pages;
};

// Finds an item among items (and their bands) by name, letter case ignored.
ReportItem* findItem(std::vector<ReportItem>& items, QStringView name);
const ReportItem* findItem(const std::vector<ReportItem>& items, QStringView name);

// The built-in design "Report1" with its fifteen pages, a fresh copy on every call.
ReportDesign builtInDesign();

// The item of a table cell: the table's name, the row, the column counted from 1
// ("Production24": row 2, column 4). No table has ten columns.
QString cellItemName(Field table, int row, int column);

} // namespace shenbao
