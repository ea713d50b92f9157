#pragma once

#include <QColor>
#include <QString>
#include <span>

namespace shenbao {

// The window's controls as data: one row per control, placed in pixels from the top-left corner
// of its container (a page, a group box or a panel). Field controls take their limits, items,
// hints and table headers from the field catalogue; the rows here say only where they stand
// and how they look.

enum class ControlKind {
    Label,        // a fixed text
    TableHint,    // the red line under a table: the table field's hint from the catalogue
    Link,         // Label41: a clickable text
    Notice,       // passby: hidden at start-up
    HiddenLabel,  // ProjectID
    Group,        // a group box with a title
    Panel,        // a plain container
    Edit,         // text field
    ReadOnlyEdit, // Edit4 (fixed text) and the copy Presider1 (disabled too)
    Code,         // EduCode
    CodeCopy,     // EduCode1: disabled, read-only, same mask
    Choice,       // drop-down list
    Table,
    LongText,
    Memo,       // read-only instruction box
    Button,     // push button, picture left of the caption
    FlatButton, // auto-raise tool button, picture above the caption, never takes the focus
    List,       // the error list
};

enum class Colour { Inherit, WindowText, Navy, Blue, Maroon, Red, Black, Disabled };

struct ControlFont
{
    const char16_t* face = nullptr; // nullptr: the container's font
    int pixels = 0;
    bool bold = false;
};

enum Anchor : int {
    AnchorNone = 0,
    AnchorRight = 1,  // the right edge keeps its distance from the container's right edge
    AnchorBottom = 2, // likewise the bottom edge
};

inline constexpr int kCaptionAbove = -1; // caption left-aligned with the box, 3 pixels above it
inline constexpr int kDefaultHeight = 0; // edits and drop-down lists are 21 pixels high

// Where a control stands in its container, and how large it is (a height of kDefaultHeight:
// an edit's 21 pixels, a label's own).
struct Place
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = kDefaultHeight;
};

// The caption label of a field control: at left, top in the control's container, or
// kCaptionAbove for a caption left-aligned with the box just above it.
struct Caption
{
    const char16_t* text = nullptr;
    int left = 0;
    int top = 0;
};

// A row of the tables, written with designated initializers so that every value names what it is.
struct ControlSpec
{
    ControlKind kind;
    const char16_t* name = nullptr;   // objectName (the field's name for field controls)
    const char16_t* parent = nullptr; // containing group box or panel, or nullptr for the page itself
    Place place{};
    const char16_t* text = nullptr; // label text, fixed content, button caption, group title
    ControlFont font{};
    Colour colour = Colour::Inherit; // text colour; Inherit takes the page's default for the kind
    int tab = -1;                    // place in the tab order of the container; -1 for none
    Caption caption{};
    int anchors = AnchorNone;
    const char16_t* icon = nullptr; // name of a button's picture (pictureIcon)
    const char16_t* hint = nullptr; // tooltip of a control that is no field
    // What a screen reader calls the control where its caption alone says too little ("2、");
    // otherwise a field is called by its caption and a button by its text.
    const char16_t* spoken = nullptr;
};

struct PageSpec
{
    const char16_t* name;    // objectName of the page
    const char16_t* caption; // tab caption; nullptr for the command panel
    Colour labelColour;      // labels without a colour of their own
    Colour boxColour;        // text of the field controls without a colour of their own
    std::span<const ControlSpec> controls;
};

inline constexpr int kPageCount = 10;
inline constexpr int kPageWidth = 616; // the design size of a page
inline constexpr int kPageHeight = 534;
inline constexpr int kClientWidth = 792; // the window's client area at first
inline constexpr int kClientHeight = 562;
inline constexpr int kPanelWidth = 168;
inline constexpr int kEditHeight = 21;

// The ten pages in tab order, and the command panel Panel1.
std::span<const PageSpec> pageLayouts();
const PageSpec& commandPanelLayout();

QColor colourValue(Colour c); // fixed colours; the system ones from the application palette
QColor errorListBackground(); // #C2FCE9

// The registration site for education electronic-ID numbers.
QString registrationSite();

} // namespace shenbao
