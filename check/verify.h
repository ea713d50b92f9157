#pragma once

#include "record/applicationrecord.h"

#include <QStringList>

namespace shenbao {

// The completeness check: the messages of the 48 rules that fail on record, in rule order.
// An empty list means every item is filled in.
QStringList verify(const ApplicationRecord& record);

// The tab page (1..10) an error-list entry leads to: the page of the field whose rule gave it,
// or 0 when no rule gives it.
int entryPage(const QString& entry);

// The entry field's rule gives when it fails ("01、课题名称  未填写"), or empty when field has
// no rule.
QString checkEntry(Field field);

} // namespace shenbao
