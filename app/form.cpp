#include "app/form.h"

#include "app/clicklabel.h"
#include "app/educodeedit.h"
#include "app/fieldlineedit.h"
#include "app/gridtable.h"
#include "app/listpopupstyle.h"
#include "app/longtextedit.h"
#include "app/messages.h"
#include "app/pictureicon.h"
#include "record/fields.h"
#include "report/fonts.h"

#include "app/choicebox.h"

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

namespace {

// Labels of the Chinese faces: their line spacing runs well below the glyphs, so a label takes
// the font's pixel size and this much for the descent, as the coordinates assume.
constexpr int kLabelDescent = 2;
// A caption above its box: left-aligned with it, this high, this far above it.
constexpr int kCaptionAboveHeight = 13;
constexpr int kCaptionAboveGap = 3;
// The error list draws its entries this high.
constexpr int kErrorListRowHeight = 13;
constexpr QSize kPictureSize(24, 24);

QLabel* makeLabel(const ControlSpec& spec, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setText(spec.kind == ControlKind::TableHint ? text(fieldSpec(*fieldByName(spec.text)).hint)
                                                       : text(spec.text));
    label->setTextFormat(Qt::PlainText);
    // Text starts at the label's top, as the coordinates assume.
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (spec.kind == ControlKind::Notice || spec.kind == ControlKind::HiddenLabel)
        label->setVisible(false);
    return label;
}

QWidget* makeLink(const ControlSpec& spec, QWidget* parent)
{
    auto* label = new ClickLabel(text(spec.text), parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QWidget* makeEdit(const FieldSpec& field, QWidget* parent)
{
    auto* edit = new FieldLineEdit(parent);
    edit->setByteLimit(field.byteLimit);
    return edit;
}

QWidget* makeReadOnlyEdit(const ControlSpec& spec, QWidget* parent)
{
    auto* edit = new FieldLineEdit(parent);
    edit->setReadOnly(true);
    edit->setValue(text(spec.text));
    // The copy of a field on another page is disabled as well; the fixed Edit4 is not.
    edit->setEnabled(spec.text != nullptr);
    return edit;
}

QWidget* makeCode(const ControlSpec& spec, QWidget* parent)
{
    auto* code = new EduCodeEdit(parent);
    if (spec.kind == ControlKind::CodeCopy) {
        code->setReadOnly(true);
        code->setEnabled(false);
    }
    return code;
}

QWidget* makeChoice(const FieldSpec& field, QWidget* parent)
{
    auto* combo = new ChoiceBox(parent);
    combo->setEditable(false);
    combo->addItems(choiceItems(field.field));
    combo->setMaxVisibleItems(8);
    combo->setStyle(listPopupStyle());
    combo->setCurrentIndex(-1);
    return combo;
}

QWidget* makeTable(const FieldSpec& field, QWidget* parent)
{
    QStringList headers;
    QList<int> widths;
    for (const TableColumn& column : field.table->columns) {
        headers.append(text(column.header));
        widths.append(column.width);
    }
    auto* table = new GridTable(field.table->dataRows, headers, widths, parent);
    // Header cells are drawn in the tooltip background colour, as fixed cells.
    table->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: %1; color: %2; border: 0px;"
                       " border-right: 1px solid %3; border-bottom: 1px solid %3; padding-left: 2px; }")
            .arg(tooltipBackground().name(), colourValue(Colour::WindowText).name(),
                 table->palette().color(QPalette::Mid).name()));
    table->horizontalHeader()->setFont(parent->font()); // not passed on to a widget with a style sheet
    return table;
}

QWidget* makeLongText(const FieldSpec& field, QWidget* parent)
{
    auto* memo = new LongTextEdit(parent);
    memo->setByteLimit(field.byteLimit);
    return memo;
}

QWidget* makeMemo(const ControlSpec& spec, QWidget* parent)
{
    auto* memo = new QPlainTextEdit(parent);
    memo->setPlainText(text(spec.text));
    memo->setReadOnly(true);
    memo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memo->setTabChangesFocus(true);
    setBackground(memo, tooltipBackground());
    return memo;
}

QWidget* makeButton(const ControlSpec& spec, QWidget* parent)
{
    auto* button = new QPushButton(pictureIcon(spec.icon), text(spec.text), parent);
    button->setIconSize(kPictureSize);
    return button;
}

QWidget* makeFlatButton(const ControlSpec& spec, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setText(text(spec.text));
    button->setIcon(pictureIcon(spec.icon));
    button->setIconSize(kPictureSize);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    // Clicking one leaves the focus in the field where it was.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QWidget* makeList(QWidget* parent)
{
    auto* list = new QListWidget(parent);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setUniformItemSizes(true);
    list->setItemDelegate(new FixedRowDelegate(kErrorListRowHeight, list));
    setBackground(list, errorListBackground());
    return list;
}

// The control a row of the tables describes, of the class its kind needs.
QWidget* makeControl(const ControlSpec& spec, const FieldSpec* field, QWidget* parent)
{
    switch (spec.kind) {
    case ControlKind::Label:
    case ControlKind::TableHint:
    case ControlKind::Notice:
    case ControlKind::HiddenLabel:
        return makeLabel(spec, parent);
    case ControlKind::Link:
        return makeLink(spec, parent);
    case ControlKind::Group:
        return new QGroupBox(text(spec.text), parent);
    case ControlKind::Panel:
        return new QWidget(parent);
    case ControlKind::Edit:
        return makeEdit(*field, parent);
    case ControlKind::ReadOnlyEdit:
        return makeReadOnlyEdit(spec, parent);
    case ControlKind::Code:
    case ControlKind::CodeCopy:
        return makeCode(spec, parent);
    case ControlKind::Choice:
        return makeChoice(*field, parent);
    case ControlKind::Table:
        return makeTable(*field, parent);
    case ControlKind::LongText:
        return makeLongText(*field, parent);
    case ControlKind::Memo:
        return makeMemo(spec, parent);
    case ControlKind::Button:
        return makeButton(spec, parent);
    case ControlKind::FlatButton:
        return makeFlatButton(spec, parent);
    case ControlKind::List:
        return makeList(parent);
    }
    return nullptr;
}

// Font, colour, tooltip and focus as the row and the catalogue give them.
void style(QWidget* w, const ControlSpec& spec, const PageSpec& page, const FieldSpec* field)
{
    if (spec.font.face)
        w->setFont(formFontPixels(text(spec.font.face), spec.font.pixels, spec.font.bold));
    const bool label = isLabelKind(spec.kind) || isContainer(spec.kind);
    Colour colour = spec.colour;
    if (colour == Colour::Inherit && !isContainer(spec.kind))
        colour = label ? page.labelColour : page.boxColour;
    if (colour != Colour::Inherit)
        setTextColour(w, colourValue(colour), label);
    if (field && field->hint)
        w->setToolTip(text(field->hint));
    if (spec.hint)
        w->setToolTip(text(spec.hint));
    if (spec.tab < 0 && !isContainer(spec.kind) && spec.kind != ControlKind::Link && !label)
        w->setFocusPolicy(Qt::NoFocus);
}

// The rectangle the control takes: its row's, but labels size themselves to their text, never
// smaller than designed.
QRect placeOf(QWidget* w, const ControlSpec& spec)
{
    const int height = spec.place.height == kDefaultHeight ? kEditHeight : spec.place.height;
    QRect rect(spec.place.left, spec.place.top, spec.place.width, height);
    if (!isLabelKind(spec.kind))
        return rect;
    if (spec.kind == ControlKind::Link) // a fixed size
        return QRect(spec.place.left, spec.place.top, spec.place.width, spec.place.height);
    QSize hint = w->sizeHint();
    if (spec.font.face)
        hint.setHeight(std::min(hint.height(), spec.font.pixels + kLabelDescent));
    rect.setSize(QSize(std::max(spec.place.width, hint.width()), std::max(spec.place.height, hint.height())));
    return rect;
}

QLabel* makeCaption(const ControlSpec& spec, const PageSpec& page, QWidget* control, QWidget* parent)
{
    auto* caption = new QLabel(text(spec.caption.text), parent);
    caption->setObjectName(control->objectName() + QStringLiteral("Caption"));
    caption->setTextFormat(Qt::PlainText);
    caption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColour(caption, colourValue(page.labelColour), true);
    // As wide as its text: the label's own margins would reach into the box beside it.
    const int width = caption->fontMetrics().horizontalAdvance(caption->text());
    if (spec.caption.left == kCaptionAbove)
        caption->setGeometry(spec.place.left, spec.place.top - kCaptionAboveGap - kCaptionAboveHeight, width,
                             kCaptionAboveHeight);
    else
        caption->setGeometry(spec.caption.left, spec.caption.top, width, caption->sizeHint().height());
    caption->setBuddy(control);
    return caption;
}

// A caption as a screen reader says it: without the colon and the padding, and without the
// instructions after a colon in the middle ("第一推荐人意见:（请填写……）").
QString spokenCaption(const char16_t* caption)
{
    QString c = text(caption).trimmed();
    if (const qsizetype colon = c.indexOf(u':'); colon > 0)
        c.truncate(colon);
    while (c.endsWith(u'：') || c.endsWith(u' '))
        c.chop(1);
    return c;
}

// What a screen reader calls the control: the row's own word, else the field's caption, else a
// copy's caption, else a button's text.
QString spokenName(const ControlSpec& spec, const FieldSpec* field)
{
    if (spec.spoken)
        return text(spec.spoken);
    if (field)
        return spokenCaption(field->caption);
    if (spec.caption.text)
        return spokenCaption(spec.caption.text);
    if (spec.kind == ControlKind::Button || spec.kind == ControlKind::FlatButton)
        return text(spec.text).remove(u' ').remove(u'\\');
    return {};
}

// What it holds or asks for, beyond its name: a table's columns, a field's hint, a long text's
// limit (the one the room counter counts against).
QString spokenDescription(const FieldSpec* field)
{
    if (!field)
        return {};
    if (field->kind == FieldKind::LongText && field->byteLimit > 0)
        return appmsg::textLimit(field->byteLimit);
    if (field->table) {
        QStringList columns;
        for (const TableColumn& c : field->table->columns)
            columns.append(text(c.header).simplified().remove(u' '));
        return QStringLiteral("列：") + columns.join(u'、') +
               (field->hint ? u'。' + text(field->hint) : QString());
    }
    return field->hint ? text(field->hint) : QString();
}

} // namespace

QWidget* FormBuilder::create(const ControlSpec& spec, const PageSpec& page, QWidget* parent)
{
    const QString name = text(spec.name);
    const std::optional<Field> field = spec.name ? fieldByName(spec.name) : std::nullopt;
    const FieldSpec* fs = field ? &fieldSpec(*field) : nullptr;
    QWidget* w = makeControl(spec, fs, parent);
    if (!name.isEmpty())
        w->setObjectName(name);
    if (fs)
        m_bindings[std::size_t(fs->field)] = FieldBinding::make(fs->field, w);
    style(w, spec, page, fs);
    if (const QString spoken = spokenName(spec, fs); !spoken.isEmpty()) {
        w->setAccessibleName(spoken);
        const auto* group = qobject_cast<const QGroupBox*>(parent);
        m_spoken.push_back({w, group ? group->title() : text(page.caption)});
    }
    if (spec.kind == ControlKind::Memo) {
        m_instructions = text(spec.text); // for the long text that follows it
    } else if (spec.kind == ControlKind::LongText && !m_instructions.isEmpty()) {
        w->setAccessibleDescription(std::exchange(m_instructions, QString()));
    } else if (const QString description = spokenDescription(fs); !description.isEmpty()) {
        w->setAccessibleDescription(description);
    }

    const QRect rect = placeOf(w, spec);
    const QSize parentDesign = m_designSizes.value(parent->objectName(), parent->size());
    if (spec.anchors != AnchorNone)
        m_anchors->add(parent, parentDesign, w, rect, spec.anchors);
    else
        w->setGeometry(rect);
    if (isContainer(spec.kind))
        m_designSizes.insert(name, rect.size());
    if (spec.caption.text)
        makeCaption(spec, page, w, parent);
    m_controls.insert(name, w);
    return w;
}

void FormBuilder::qualifyRepeatedNames()
{
    QHash<QString, int> uses;
    for (const Spoken& s : m_spoken)
        ++uses[s.control->accessibleName()];
    for (const Spoken& s : m_spoken)
        if (uses.value(s.control->accessibleName()) > 1 && !s.qualifier.isEmpty())
            s.control->setAccessibleName(s.qualifier + u' ' + s.control->accessibleName());
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
