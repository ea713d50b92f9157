// The line breaker and the whole printed form on arbitrary text: lines fit their boxes (a line
// of one character excepted), breaking loses nothing but blanks and line breaks, and the layout
// ends within the sheet bound.
#include "record/fields.h"
#include "record/textrules.h"
#include "report/fillreport.h"
#include "report/fonts.h"
#include "report/sheetlayout.h"
#include "report/textlayout.h"

#include <QGuiApplication>
#include <cstddef>
#include <cstdint>

using namespace shenbao;

namespace {

void setUp()
{
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "fuzz_layout";
        static char* argv[] = {name, nullptr};
        auto* a = new QGuiApplication(argc, argv);
        installFontSubstitutions();
        return a;
    }();
    (void)app;
}

QString withoutBlanksAndBreaks(QStringView text)
{
    QString out;
    for (QChar c : text)
        if (c != u' ' && c != u'\r' && c != u'\n' && c != QChar::LineSeparator &&
            c != QChar::ParagraphSeparator)
            out += c;
    return out;
}

bool oneCharacter(const QString& s)
{
    return s.size() == 1 || (s.size() == 2 && s[0].isHighSurrogate());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    setUp();
    // The first byte picks a box width from a tenth of an inch to seven inches, the second a face.
    const double width = 0.1 + 6.9 * data[0] / 255.0;
    static const QString faces[] = {u"宋体"_qs, u"黑体"_qs, u"Arial"_qs, u"楷体_GB2312"_qs};
    const FontSpec font{faces[data[1] % 4], 9.0 + data[1] % 7, (data[1] & 0x80) != 0};
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));

    static TextMeasurer measurer;
    const std::vector<MemoLine> lines = breakLines(text, width, measurer.font(font));
    QString joined;
    for (const MemoLine& line : lines) {
        if (line.width > width + 1e-6 && !oneCharacter(line.text))
            __builtin_trap();
        joined += line.text;
    }
    if (withoutBlanksAndBreaks(joined) != withoutBlanksAndBreaks(text))
        __builtin_trap();

    // The whole form, with the text in a flowing band, a flowing box, a cut box and a table cell.
    ApplicationRecord record;
    record.setValue(Field::ProjectReasoning, text);
    record.setValue(Field::OutlayAddress, text);
    record.setValue(Field::OutlayPromises, text);
    record.table(Field::Production).setCell(2, 3, text);
    ReportDesign design = builtInDesign();
    fillReport(design, record, data[0] & 1);
    int started = 0;
    const ReportLayout layout = layoutReport(design, [&started](int sheet) {
        started = sheet;
        return true;
    });
    if (started > kMaxSheets || layout.sheets.size() > std::size_t(kMaxSheets) ||
        (layout.tooLong && !layout.sheets.empty()))
        __builtin_trap();
    if (!layout.tooLong && layout.sheets.size() < 15)
        __builtin_trap();
    return 0;
}
