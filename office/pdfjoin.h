#pragma once

#include <QString>
#include <QStringList>

class QIODevice;

// One PDF of a round written in parts on every core, then joined: the parts' pages in order, the
// first part's document information for the whole. Only the pages are taken over (the parts
// have no outlines, forms or annotations).

namespace shenbao::office {

bool joinPdfs(const QStringList& parts, QIODevice& out, QString* error);

} // namespace shenbao::office
