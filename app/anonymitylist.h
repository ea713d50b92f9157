#pragma once

#include "check/anonymity.h"

#include <QDialog>

#include <vector>

class QLabel;
class QListWidget;

namespace shenbao {

// The places where the loose leaves name the applicant or a unit, in a small window of its own
// beside the form: never a modal box, never an entry of the error list. A double click (or
// Return) on a place asks the window to show it in its field.
class AnonymityList : public QDialog
{
    Q_OBJECT

public:
    explicit AnonymityList(QWidget* parent);

    void setFindings(const AnonymityFindings& findings);
    QStringList lines() const; // as shown, for tests and screen readers

signals:
    void hitChosen(const shenbao::AnonymityHit& hit);

private:
    QLabel* m_heading;
    QListWidget* m_list;
    std::vector<AnonymityHit> m_hits;
};

} // namespace shenbao
