#pragma once

#include "app/fieldbinding.h"
#include "app/windowlayout.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QRect>
#include <QSize>
#include <array>
#include <memory>
#include <vector>

class QWidget;

namespace shenbao {

// Keeps anchored controls at their distance from their container's right or bottom edge.
class AnchorKeeper : public QObject
{
public:
    using QObject::QObject;
    void add(QWidget* container, QSize designSize, QWidget* control, QRect designRect, int anchors);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Anchored
    {
        QWidget* control;
        QRect rect;
        int anchors;
    };
    struct Container
    {
        QWidget* widget;
        QSize designSize;
        std::vector<Anchored> controls;
    };
    void place(const Container& container) const;
    std::vector<Container> m_containers;
};

// Creates the controls of one page (or the command panel) from its layout table inside
// container, which has the page's design size. Field controls are configured from the field
// catalogue. Returns the controls in their tab order.
class FormBuilder
{
public:
    explicit FormBuilder(AnchorKeeper* anchors) : m_anchors(anchors) {}

    QList<QWidget*> build(QWidget* container, QSize designSize, const PageSpec& page);

    // Names shared by controls of different groups ("邮政编码" of the leader and of the funds'
    // unit) said with their group or page: "经费 邮政编码". Call once every page is built.
    void qualifyRepeatedNames();

    // Every control built so far, by objectName.
    const QHash<QString, QWidget*>& controls() const { return m_controls; }
    // The binding of a field whose control was built, or nullptr.
    FieldBinding* binding(Field field) const { return m_bindings[std::size_t(field)].get(); }

private:
    QWidget* create(const ControlSpec& spec, const PageSpec& page, QWidget* parent);
    void addTabOrder(const PageSpec& page, const char16_t* parent, QList<QWidget*>& order) const;

    struct Spoken
    {
        QWidget* control;
        QString qualifier; // the group box's title, or the page's caption
    };

    AnchorKeeper* m_anchors;
    std::vector<Spoken> m_spoken;
    QString m_instructions; // the instruction box just built, for the long text below it
    QHash<QString, QWidget*> m_controls;
    QHash<QString, QSize> m_designSizes;
    std::array<std::unique_ptr<FieldBinding>, kFieldCount> m_bindings;
};

} // namespace shenbao
