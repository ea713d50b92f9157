#pragma once

#include "report/reportdesign.h"

#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>
#include <variant>
#include <vector>

namespace shenbao {

// What one sheet shows, as positioned things in drawing order. Every coordinate is in inches
// from the sheet's top-left corner; nothing here depends on the device it is painted on.

struct SheetText
{
    QString item;                   // name of the design item it comes from (may be empty)
    ItemKind kind = ItemKind::Text; // Text, Memo or PageNumber
    FontSpec font;
    QString text;
    double x = 0;        // left edge
    double top = 0;      // top of the line
    double baseline = 0; // top + the font's ascent
    // When not empty, one baseline position per character (code point) of text: block-justified
    // lines and vertical writing. Otherwise text is drawn as one run from (x, baseline).
    std::vector<QPointF> positions;
    int rotation = 0;
};

struct SheetLine
{
    QPointF from;
    QPointF to;
    double widthPt = 0; // 0: a hairline
};

struct SheetRect
{
    QRectF rect;
    bool fillWhite = false;
    double borderPt = 1.5;
};

struct SheetImage
{
    QString item;
    Picture picture = Picture::None;
    QRectF rect;
};

using SheetOp = std::variant<SheetText, SheetLine, SheetRect, SheetImage>;

struct Sheet
{
    int number = 0;      // counted from 1 in the order the sheets are produced
    QString page;        // the page design it was drawn from
    bool repeat = false; // a repeat sheet of its page
    double width = 8.5;  // the page design's size in inches
    double height = 11.0;
    std::vector<SheetOp> ops;
};

// The pixel size of a picture (the watermark 320 × 320, the banner 1022 × 85).
QSize pictureSize(Picture picture);

} // namespace shenbao
