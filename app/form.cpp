#include "app/form.h"

#include "app/clicklabel.h"
#include "app/educodeedit.h"
#include "app/fieldlineedit.h"
#include "app/gridtable.h"
#include "app/listpopupstyle.h"
#include "app/longtextedit.h"
#include "app/pictureicon.h"
#include "record/fields.h"
#include "report/fonts.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QIcon>
#include <QListWidget>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QToolTip>
#include <algorithm>

namespace shenbao {

// ---------------------------------------------------------------------------------------------
// AnchorKeeper

void AnchorKeeper::add(QWidget* container, QSize designSize, QWidget* control, QRect designRect, int anchors)
{
    auto it = std::find_if(m_containers.begin(), m_containers.end(),
                           [container](const Container& c) { return c.widget == container; });
    if (it == m_containers.end()) {
        m_containers.push_back({container, designSize, {}});
        it = std::prev(m_containers.end());
        container->installEventFilter(this);
    }
    it->controls.push_back({control, designRect, anchors});
    place(*it);
}

void AnchorKeeper::place(const Container& container) const
{
    const int dw = container.widget->width() - container.designSize.width();
    const int dh = container.widget->height() - container.designSize.height();
    for (const Anchored& a : container.controls) {
        QRect r = a.rect;
        if (a.anchors & AnchorRight)
            r.setWidth(std::max(0, r.width() + dw));
        if (a.anchors & AnchorBottom)
            r.setHeight(std::max(0, r.height() + dh));
        a.control->setGeometry(r);
    }
}

bool AnchorKeeper::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize)
        for (const Container& c : m_containers)
            if (c.widget == watched)
                place(c);
    return QObject::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// FormBuilder

namespace {

QString text(const char16_t* s)
{
    return s ? QString::fromUtf16(s) : QString();
}

// Sets the text colour for the enabled states only, so that a disabled control still shows
// its text in the system's disabled-text colour.
void setTextColour(QWidget* w, const QColor& colour, bool label)
{
    QPalette p = w->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        if (label) {
            p.setColor(group, QPalette::WindowText, colour);
        } else {
            p.setColor(group, QPalette::Text, colour);
            p.setColor(group, QPalette::ButtonText, colour);
            p.setColor(group, QPalette::WindowText, colour);
        }
    }
    w->setPalette(p);
}

void setBackground(QWidget* w, const QColor& colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Base, colour);
    w->setPalette(p);
}

QColor tooltipBackground()
{
    return QToolTip::palette().color(QPalette::ToolTipBase);
}

// The error list draws its entries 13 pixels high.
class FixedRowDelegate : public QStyledItemDelegate
{
public:
    FixedRowDelegate(int height, QObject* parent) : QStyledItemDelegate(parent), m_height(height) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.setHeight(m_height);
        return s;
    }

private:
    int m_height;
};

bool isContainer(ControlKind kind)
{
    return kind == ControlKind::Group || kind == ControlKind::Panel;
}

bool isLabelKind(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Label:
    case ControlKind::TableHint:
    case ControlKind::Link:
    case ControlKind::Notice:
    case ControlKind::HiddenLabel:
        return true;
    default:
        return false;
    }
}

} // namespace

QWidget* FormBuilder::create(const ControlSpec& spec, const PageSpec& page, QWidget* parent)
{
    const QString name = text(spec.name);
    const std::optional<Field> field = spec.name ? fieldByName(spec.name) : std::nullopt;
    const FieldSpec* fs = field ? &fieldSpec(*field) : nullptr;
    QWidget* w = nullptr;
    int height = spec.height == kDefaultHeight ? kEditHeight : spec.height;

    switch (spec.kind) {
    case ControlKind::Label:
    case ControlKind::TableHint:
    case ControlKind::Notice:
    case ControlKind::HiddenLabel: {
        auto* label = new QLabel(parent);
        if (spec.kind == ControlKind::TableHint)
            label->setText(text(fieldSpec(*fieldByName(spec.text)).hint));
        else
            label->setText(text(spec.text));
        label->setTextFormat(Qt::PlainText);
        // Text starts at the label's top, as the coordinates assume.
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        if (spec.kind == ControlKind::Notice || spec.kind == ControlKind::HiddenLabel)
            label->setVisible(false);
        w = label;
        break;
    }
    case ControlKind::Link: {
        auto* label = new ClickLabel(text(spec.text), parent);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        w = label;
        break;
    }
    case ControlKind::Group: {
        auto* group = new QGroupBox(text(spec.text), parent);
        w = group;
        break;
    }
    case ControlKind::Panel:
        w = new QWidget(parent);
        break;
    case ControlKind::Edit: {
        auto* edit = new FieldLineEdit(parent);
        edit->setByteLimit(fs->byteLimit);
        w = edit;
        break;
    }
    case ControlKind::ReadOnlyEdit: {
        auto* edit = new FieldLineEdit(parent);
        edit->setReadOnly(true);
        edit->setValue(text(spec.text));
        // The copy of a field on another page is disabled as well; the fixed Edit4 is not.
        edit->setEnabled(spec.text != nullptr);
        w = edit;
        break;
    }
    case ControlKind::Code:
    case ControlKind::CodeCopy: {
        auto* code = new EduCodeEdit(parent);
        if (spec.kind == ControlKind::CodeCopy) {
            code->setReadOnly(true);
            code->setEnabled(false);
        }
        w = code;
        break;
    }
    case ControlKind::Choice: {
        auto* combo = new QComboBox(parent);
        combo->setEditable(false);
        combo->addItems(choiceItems(fs->field));
        combo->setMaxVisibleItems(8);
        combo->setStyle(listPopupStyle());
        combo->setCurrentIndex(-1);
        w = combo;
        break;
    }
    case ControlKind::Table: {
        QStringList headers;
        QList<int> widths;
        for (const TableColumn& column : fs->table->columns) {
            headers.append(text(column.header));
            widths.append(column.width);
        }
        auto* table = new GridTable(fs->table->dataRows, headers, widths, parent);
        // Header cells are drawn in the tooltip background colour, as fixed cells.
        table->horizontalHeader()->setStyleSheet(
            QStringLiteral("QHeaderView::section { background-color: %1; color: %2; border: 0px;"
                           " border-right: 1px solid %3; border-bottom: 1px solid %3; padding-left: 2px; }")
                .arg(tooltipBackground().name(), colourValue(Colour::WindowText).name(),
                     table->palette().color(QPalette::Mid).name()));
        table->horizontalHeader()->setFont(parent->font()); // not passed on to a widget with a style sheet
        w = table;
        break;
    }
    case ControlKind::LongText: {
        auto* memo = new LongTextEdit(parent);
        memo->setByteLimit(fs->byteLimit);
        w = memo;
        break;
    }
    case ControlKind::Memo: {
        auto* memo = new QPlainTextEdit(parent);
        memo->setPlainText(text(spec.text));
        memo->setReadOnly(true);
        memo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        memo->setTabChangesFocus(true);
        setBackground(memo, tooltipBackground());
        w = memo;
        break;
    }
    case ControlKind::Button: {
        auto* button = new QPushButton(pictureIcon(spec.icon), text(spec.text), parent);
        button->setIconSize(QSize(24, 24));
        w = button;
        break;
    }
    case ControlKind::FlatButton: {
        auto* button = new QToolButton(parent);
        button->setText(text(spec.text));
        button->setIcon(pictureIcon(spec.icon));
        button->setIconSize(QSize(24, 24));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        // Clicking one leaves the focus in the field where it was.
        button->setFocusPolicy(Qt::NoFocus);
        w = button;
        break;
    }
    case ControlKind::List: {
        auto* list = new QListWidget(parent);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setUniformItemSizes(true);
        list->setItemDelegate(new FixedRowDelegate(13, list));
        setBackground(list, errorListBackground());
        w = list;
        break;
    }
    }

    if (!name.isEmpty())
        w->setObjectName(name);
    if (fs)
        m_bindings[std::size_t(fs->field)] = FieldBinding::make(fs->field, w);
    if (spec.font.face)
        w->setFont(formFontPixels(text(spec.font.face), spec.font.pixels, spec.font.bold));

    const bool label = isLabelKind(spec.kind) || isContainer(spec.kind);
    Colour colour = spec.colour;
    if (colour == Colour::Inherit && !isContainer(spec.kind))
        colour = label ? page.labelColour : page.boxColour;
    if (colour != Colour::Inherit)
        setTextColour(w, colourValue(colour), label);

    if (fs && fs->hint && fs->page != 10) // page 10 shows no hints
        w->setToolTip(text(fs->hint));
    if (spec.hint)
        w->setToolTip(text(spec.hint));
    if (spec.tab < 0 && !isContainer(spec.kind) && spec.kind != ControlKind::Link && !label)
        w->setFocusPolicy(Qt::NoFocus);

    QRect rect(spec.left, spec.top, spec.width, height);
    if (isLabelKind(spec.kind)) {
        // Labels size themselves to their text, never smaller than designed.
        QSize hint = w->sizeHint();
        // The Chinese faces' line spacing runs well below the glyphs; the text itself takes
        // the font's pixel size and a little for the descent, as the coordinates assume.
        if (spec.font.face)
            hint.setHeight(std::min(hint.height(), spec.font.pixels + 2));
        rect.setSize(QSize(std::max(spec.width, hint.width()), std::max(spec.height, hint.height())));
        if (spec.kind == ControlKind::Link) // a fixed size
            rect.setSize(QSize(spec.width, spec.height));
    }
    const QSize parentDesign = m_designSizes.value(parent->objectName(), parent->size());
    if (spec.anchors != AnchorNone)
        m_anchors->add(parent, parentDesign, w, rect, spec.anchors);
    else
        w->setGeometry(rect);
    if (isContainer(spec.kind))
        m_designSizes.insert(name, rect.size());

    if (spec.caption) {
        auto* caption = new QLabel(text(spec.caption), parent);
        caption->setObjectName(name + QStringLiteral("Caption"));
        caption->setTextFormat(Qt::PlainText);
        caption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        setTextColour(caption, colourValue(page.labelColour), true);
        // As wide as its text: the label's own margins would reach into the box beside it.
        const QSize hint(caption->fontMetrics().horizontalAdvance(caption->text()),
                         caption->sizeHint().height());
        if (spec.captionLeft == kCaptionAbove)
            caption->setGeometry(spec.left, spec.top - 3 - 13, hint.width(), 13);
        else
            caption->setGeometry(spec.captionLeft, spec.captionTop, hint.width(), hint.height());
        caption->setBuddy(w);
    }
    m_controls.insert(name, w);
    return w;
}

void FormBuilder::addTabOrder(const PageSpec& page, const char16_t* parent, QList<QWidget*>& order) const
{
    std::vector<const ControlSpec*> members;
    for (const ControlSpec& spec : page.controls)
        if (spec.tab >= 0 &&
            QStringView(spec.parent ? spec.parent : u"") == QStringView(parent ? parent : u""))
            members.push_back(&spec);
    std::stable_sort(members.begin(), members.end(),
                     [](const ControlSpec* a, const ControlSpec* b) { return a->tab < b->tab; });
    for (const ControlSpec* spec : members) {
        if (isContainer(spec->kind))
            addTabOrder(page, spec->name, order);
        else
            order.append(m_controls.value(text(spec->name)));
    }
}

QList<QWidget*> FormBuilder::build(QWidget* container, QSize designSize, const PageSpec& page)
{
    container->setObjectName(text(page.name));
    m_designSizes.insert(container->objectName(), designSize);
    for (const ControlSpec& spec : page.controls) {
        QWidget* parent = spec.parent ? m_controls.value(text(spec.parent)) : container;
        Q_ASSERT_X(parent, "FormBuilder", "a container is listed before its controls");
        create(spec, page, parent);
    }
    QList<QWidget*> order;
    addTabOrder(page, nullptr, order);
    return order;
}

} // namespace shenbao
