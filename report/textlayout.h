#pragma once

#include "report/reportdesign.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QString>
#include <array>
#include <memory>
#include <vector>

namespace shenbao {

// The QFont drawn for a form font. Kerning is off so that a line is exactly as wide as the sum
// of its characters' advances, which is what the line breaking measures.
QFont reportFont(const FontSpec& spec);

// The resolution text is laid out at. Every size the form uses is a whole number of pixels at
// 1440 dpi, so Qt does not round sizes and a preview breaks lines exactly like the paper.
inline constexpr int kLayoutDpi = 1440;

// Advances of one font, measured once per character, in inches.
class FontMeasure
{
public:
    FontMeasure(const FontSpec& spec, const QPaintDevice* device);

    double advance(char32_t c);
    double width(QStringView text);
    double ascent() const { return m_ascent; }
    double descent() const { return m_descent; }
    double pitch() const { return m_pitch; }

private:
    QFontMetricsF m_metrics;
    double m_ascent;
    double m_descent;
    double m_pitch;
    std::array<double, 128> m_ascii;
    QHash<char32_t, double> m_other;
};

// Measures form fonts at kLayoutDpi. Holds one FontMeasure per font; not thread-safe
// (fonts live on the GUI thread).
class TextMeasurer
{
public:
    TextMeasurer();
    ~TextMeasurer();
    TextMeasurer(const TextMeasurer&) = delete;
    TextMeasurer& operator=(const TextMeasurer&) = delete;

    FontMeasure& font(const FontSpec& spec);

private:
    QImage m_device;
    std::vector<std::pair<FontSpec, std::unique_ptr<FontMeasure>>> m_fonts;
};

// One line of a memo after breaking.
struct MemoLine
{
    QString text;
    double width = 0;           // inches, dropped blanks excluded
    bool endsParagraph = false; // last line of its paragraph (left-aligned under block justification)
    bool operator==(const MemoLine&) const = default;
};

// Breaks text into lines no wider than boxWidth. A line break (CR LF, or a lone CR or LF) ends
// a paragraph, and a break at the very end adds no empty line. Within a paragraph a line takes
// whole blank-separated words while they fit; a word wider than a whole line (a run of Chinese
// text without blanks is one word) is broken between characters and fills the line; a word that
// does not fit after others starts the next line. Blanks that begin a paragraph stay, blanks that
// begin a wrapped line are dropped. Every line takes at least one character, so a box narrower
// than a character still makes progress. Breaking stops once maxLines lines are made.
std::vector<MemoLine> breakLines(QStringView text, double boxWidth, FontMeasure& font,
                                 std::size_t maxLines = std::size_t(-1));

// How many lines a box of this height holds: trunc(height ÷ pitch + 0.00001).
int linesInBox(double height, double pitch);

} // namespace shenbao
