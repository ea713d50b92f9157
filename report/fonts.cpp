#include "report/fonts.h"

#include <QFontDatabase>
#include <QStringList>

#include <array>
#include <optional>

namespace shenbao {
namespace {

struct FaceMap
{
    const char16_t* face;
    const char16_t* alternate; // the same face under the name newer Windows gives it, or nullptr
    const char16_t* family;    // installed family drawn for it where the face is missing
    bool latin;                // Chinese text in it falls back to the form's Ming face
    // It has a bold face of its own, here and on Windows. The Chinese faces have none on either:
    // their bold is drawn by the form itself, the same on every system (paint.cpp).
    bool hasBold;
};

// UMing draws Latin exactly half as wide as a Chinese character, as the form's layout assumes,
// and its glyphs copy out of a PDF as the right characters.
constexpr const char16_t* kMing = u"AR PL UMing CN";
constexpr std::array kFaces = {
    FaceMap{u"宋体", nullptr, kMing, false, false},
    FaceMap{u"新宋体", nullptr, kMing, false, false},
    FaceMap{u"仿宋_GB2312", u"仿宋", kMing, false, false},
    FaceMap{u"黑体", nullptr, u"WenQuanYi Zen Hei", false, false},
    FaceMap{u"楷体_GB2312", u"楷体", u"AR PL UKai CN", false, false},
    FaceMap{u"Arial", nullptr, u"Liberation Sans", true, true},
    FaceMap{u"Times New Roman", nullptr, u"Liberation Serif", true, true},
    // A bitmap face on Windows, which a PDF cannot embed: its TrueType twin stands in. Where
    // neither exists, Liberation Sans is narrower than DejaVu Sans and close to its widths: a
    // date such as "2026年03月20日" fits the 89-pixel boxes of page 1, as on the original form.
    FaceMap{u"MS Sans Serif", u"Microsoft Sans Serif", u"Liberation Sans", true, true},
};

bool drawable(const QString& family)
{
    return QFontDatabase::hasFamily(family) && QFontDatabase::isSmoothlyScalable(family);
}

// The family each face is drawn with: the face itself where it is installed (Windows), else
// its stand-in. Decided once: the font list does not change while the program runs.
const std::array<QString, kFaces.size()>& drawnFamilies()
{
    static const std::array<QString, kFaces.size()> families = [] {
        std::array<QString, kFaces.size()> f;
        for (std::size_t i = 0; i < kFaces.size(); ++i) {
            const FaceMap& m = kFaces[i];
            f[i] = QString::fromUtf16(m.family);
            for (const char16_t* name : {m.face, m.alternate})
                if (name && drawable(QString::fromUtf16(name))) {
                    f[i] = QString::fromUtf16(name);
                    break;
                }
        }
        return f;
    }();
    return families;
}

std::optional<std::size_t> lookup(const QString& face)
{
    for (std::size_t i = 0; i < kFaces.size(); ++i)
        if (face == QStringView(kFaces[i].face))
            return i;
    return std::nullopt;
}

QString mingFamily()
{
    return drawnFamilies()[0];
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
    for (std::size_t i = 0; i < kFaces.size(); ++i) {
        const QString face = QString::fromUtf16(kFaces[i].face);
        if (!kFaces[i].latin && drawnFamilies()[i] != face)
            QFont::insertSubstitution(face, drawnFamilies()[i]);
    }
}

static QFont baseFont(const QString& face)
{
    QFont font;
    if (const auto i = lookup(face)) {
        QStringList families{drawnFamilies()[*i]};
        if (kFaces[*i].latin)
            families.append(mingFamily());
        font.setFamilies(families);
    } else {
        font.setFamilies({face, mingFamily()});
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

bool hasBoldFace(const QString& face)
{
    const auto i = lookup(face);
    return !i || kFaces[*i].hasBold;
}

QString resolvedFamily(const QString& face)
{
    if (const auto i = lookup(face))
        return drawnFamilies()[*i];
    return face;
}

} // namespace shenbao
