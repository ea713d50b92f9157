#include "report/textlayout.h"

#include "record/textrules.h"
#include "report/fonts.h"

#include <cmath>

namespace shenbao {

QFont reportFont(const FontSpec& spec)
{
    // A face without a bold of its own is drawn regular and emboldened by the painter.
    QFont font = formFont(spec.face, spec.pointSize, spec.bold && hasBoldFace(spec.face));
    font.setKerning(false);
    // Unhinted advances are the same on every device, so the paper and the preview agree.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

FontMeasure::FontMeasure(const FontSpec& spec, const QPaintDevice* device)
    : m_metrics(reportFont(spec), device), m_ascent(m_metrics.ascent() / kLayoutDpi),
      m_descent(m_metrics.descent() / kLayoutDpi), m_pitch(spec.linePitch())
{
    m_ascii.fill(-1);
}

double FontMeasure::advance(char32_t c)
{
    if (c < 128) {
        double& a = m_ascii[c];
        if (a < 0)
            a = m_metrics.horizontalAdvance(QChar(char16_t(c))) / kLayoutDpi;
        return a;
    }
    auto it = m_other.constFind(c);
    if (it != m_other.constEnd())
        return *it;
    const double a = m_metrics.horizontalAdvance(QString::fromUcs4(&c, 1)) / kLayoutDpi;
    m_other.insert(c, a);
    return a;
}

double FontMeasure::width(QStringView text)
{
    double w = 0;
    for (char32_t c : text.toUcs4())
        w += advance(c);
    return w;
}

TextMeasurer::TextMeasurer() : m_device(1, 1, QImage::Format_ARGB32_Premultiplied)
{
    const int dotsPerMeter = qRound(kLayoutDpi / 0.0254);
    m_device.setDotsPerMeterX(dotsPerMeter);
    m_device.setDotsPerMeterY(dotsPerMeter);
}

TextMeasurer::~TextMeasurer() = default;

FontMeasure& TextMeasurer::font(const FontSpec& spec)
{
    for (auto& [s, m] : m_fonts)
        if (s == spec)
            return *m;
    m_fonts.emplace_back(spec, std::make_unique<FontMeasure>(spec, &m_device));
    return *m_fonts.back().second;
}

int linesInBox(double height, double pitch)
{
    if (pitch <= 0 || height <= 0)
        return 0;
    return int(std::trunc(height / pitch + 0.00001));
}

namespace {

constexpr double kFitSlack = 1e-9; // a line exactly as wide as the box fits

// Builds the lines of one paragraph.
class ParagraphBreaker
{
public:
    ParagraphBreaker(double boxWidth, FontMeasure& font, std::vector<MemoLine>& out)
        : m_box(boxWidth), m_font(font), m_out(out)
    {
    }

    void run(QStringView para)
    {
        const qsizetype n = para.size();
        qsizetype i = 0;
        // Blanks that begin the paragraph are kept, as far as they fit.
        while (i < n && para[i] == u' ') {
            placeChar(u' ', QStringView(para.mid(i, 1)));
            ++i;
        }
        while (i < n) {
            const qsizetype blanksStart = i;
            while (i < n && para[i] == u' ')
                ++i;
            const qsizetype blanks = i - blanksStart;
            if (i == n)
                break; // blanks at the end of a paragraph show nothing
            const qsizetype wordStart = i;
            while (i < n && para[i] != u' ')
                ++i;
            placeWord(para.mid(wordStart, i - wordStart), blanks);
        }
        m_line.endsParagraph = true;
        m_out.push_back(std::move(m_line));
    }

private:
    void newLine()
    {
        m_out.push_back(std::move(m_line));
        m_line = MemoLine();
    }

    bool fits(double w) const { return w <= m_box + kFitSlack; }

    void placeChar(char32_t c, QStringView chars)
    {
        const double a = m_font.advance(c);
        if (!m_line.text.isEmpty() && !fits(m_line.width + a))
            newLine();
        m_line.text += chars;
        m_line.width += a;
    }

    void placeWord(QStringView word, qsizetype blanks)
    {
        const double blankWidth = blanks * m_font.advance(u' ');
        const double wordWidth = m_font.width(word);
        if (m_line.text.isEmpty()) {
            // a wrapped line: the blanks before the word are dropped
        } else if (fits(m_line.width + blankWidth + wordWidth)) {
            appendBlanks(blanks, blankWidth);
            appendWhole(word, wordWidth);
            return;
        } else if (fits(wordWidth) || !fits(m_line.width + blankWidth)) {
            newLine();
        } else {
            appendBlanks(blanks, blankWidth);
        }
        if (fits(m_line.width + wordWidth)) {
            appendWhole(word, wordWidth);
            return;
        }
        // Wider than a line: break between characters, never inside one.
        for (qsizetype k = 0; k < word.size();) {
            const qsizetype len = (word[k].isHighSurrogate() && k + 1 < word.size()) ? 2 : 1;
            const QStringView ch = word.mid(k, len);
            placeChar(ch.toUcs4().value(0), ch);
            k += len;
        }
    }

    void appendBlanks(qsizetype blanks, double width)
    {
        m_line.text += QString(blanks, u' ');
        m_line.width += width;
    }

    void appendWhole(QStringView word, double width)
    {
        m_line.text += word;
        m_line.width += width;
    }

    double m_box;
    FontMeasure& m_font;
    std::vector<MemoLine>& m_out;
    MemoLine m_line;
};

} // namespace

std::vector<MemoLine> breakLines(QStringView text, double boxWidth, FontMeasure& font, std::size_t maxLines)
{
    std::vector<MemoLine> lines;
    for (qsizetype pos = 0; pos < text.size() && lines.size() < maxLines;)
        ParagraphBreaker(boxWidth, font, lines).run(nextTextLine(text, &pos));
    if (lines.size() > maxLines)
        lines.resize(maxLines);
    return lines;
}

} // namespace shenbao
