#pragma once

#include <QFont>
#include <QString>

namespace shenbao {

// The form was designed with Windows faces ("宋体", "黑体", "楷体_GB2312", "MS Sans Serif",
// "Arial", ...). Where a face is installed (Windows) it is drawn as it is, under its newer name
// where Windows renamed it ("楷体"); where it is missing (Debian, Wine) this module maps it to
// the Debian fonts that scripts/install-deps.sh installs. Call once at start-up, after the
// application object exists; later calls do nothing.
void installFontSubstitutions();

// A font of one of the form's faces. Latin faces ("Arial", "Times New Roman", "MS Sans Serif")
// get a Chinese face as their fallback through QFont::setFamilies, so that Chinese values in
// them are drawn in a face of the same size.
QFont formFont(const QString& face, qreal pointSize, bool bold = false);
QFont formFontPixels(const QString& face, int pixelSize, bool bold = false);

// Whether the face has a bold face of its own on every system (the Latin faces). The Chinese
// faces have none anywhere: each font engine would embolden them its own way (FreeType on Linux,
// not at all in Windows' PDF output), so the form draws their bold itself.
bool hasBoldFace(const QString& face);

// The installed family a form face resolves to (for tests and diagnostics).
QString resolvedFamily(const QString& face);

} // namespace shenbao
