#include "report/fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace shenbao {
namespace {

struct FaceMap {
    const char16_t* face;
    const char16_t* family;   // installed family drawn for it
    const char16_t* fallback; // Chinese fallback for a Latin family, or nullptr
};

// UMing draws Latin exactly half as wide as a Chinese character, as the form's layout assumes,
// and its glyphs copy out of a PDF as the right characters.
constexpr const char16_t* kMing = u"AR PL UMing CN";
constexpr FaceMap kFaces[] = {
    {u"宋体", kMing, nullptr},
    {u"新宋体", kMing, nullptr},
    {u"仿宋_GB2312", kMing, nullptr},
    {u"黑体", u"WenQuanYi Zen Hei", nullptr},
    {u"楷体_GB2312", u"AR PL UKai CN", nullptr},
    {u"Arial", u"Liberation Sans", kMing},
    {u"Times New Roman", u"Liberation Serif", kMing},
    // Narrower than DejaVu Sans and close to MS Sans Serif's widths: a date such as
    // "2026年03月20日" fits the 89-pixel boxes of page 1, as on the original form.
    {u"MS Sans Serif", u"Liberation Sans", kMing},
};

const FaceMap* lookup(const QString& face)
{
    for (const FaceMap& m : kFaces)
        if (face == QStringView(m.face))
            return &m;
    return nullptr;
}

} // namespace

void installFontSubstitutions()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    // Only Chinese faces are substituted here: Qt flattens the substitution lists, so a Chinese
    // family in a Latin face's list would take over its Latin glyphs too.
    for (const FaceMap& m : kFaces)
        if (!m.fallback)
            QFont::insertSubstitution(QString::fromUtf16(m.face), QString::fromUtf16(m.family));
}

static QFont baseFont(const QString& face)
{
    QFont font;
    if (const FaceMap* m = lookup(face)) {
        QStringList families{QString::fromUtf16(m->family)};
        if (m->fallback)
            families.append(QString::fromUtf16(m->fallback));
        font.setFamilies(families);
    } else {
        font.setFamilies({face, QString::fromUtf16(kMing)});
    }
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QFont formFont(const QString& face, qreal pointSize, bool bold)
{
    QFont font = baseFont(face);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QFont formFontPixels(const QString& face, int pixelSize, bool bold)
{
    QFont font = baseFont(face);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QString resolvedFamily(const QString& face)
{
    if (const FaceMap* m = lookup(face))
        return QString::fromUtf16(m->family);
    return face;
}

} // namespace shenbao
