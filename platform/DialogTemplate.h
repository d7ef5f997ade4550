// Dialog templates as data: every control with its id, kind, caption, position, size and styles
// in dialog units. Captions are UTF-8 in our sources.
#pragma once

#include <vector>

enum class ControlKind {
    PushButton,
    DefPushButton,
    CheckBox,
    ComboDropList,
    Edit,
    Label,
    GroupBox,
    Frame,
    RichEdit,
    Trackbar,
    Picture,
    Icon,
};

// Control styles, combined as bits.
enum ControlStyle : unsigned {
    CS_CENTER = 1u << 0,      // text centred
    CS_RIGHT = 1u << 1,       // text right-aligned
    CS_READONLY = 1u << 2,    // edit cannot be changed by the user
    CS_NUMBER = 1u << 3,      // edit takes digits only
    CS_BORDER = 1u << 4,      // thin border
    CS_STATICEDGE = 1u << 5,  // one-pixel sunken edge
    CS_CLIENTEDGE = 1u << 6,  // two-pixel sunken edge
    CS_RAISED = 1u << 7,      // raised frame
    CS_TABSTOP = 1u << 8,     // reached by the tab key
    CS_MULTILINE = 1u << 9,   // several lines of text
    CS_VSCROLL = 1u << 10,    // vertical scroll bar
    CS_HSCROLL = 1u << 11,    // horizontal scroll bar
    CS_KEEPSEL = 1u << 12,    // selection stays visible without focus
    CS_NOPREFIX = 1u << 13,   // '&' is shown, not an accelerator mark
    CS_AUTOTICKS = 1u << 14,  // trackbar ticks at every position
    CS_TICKSTOP = 1u << 15,   // trackbar ticks above the channel
    CS_SELRANGE = 1u << 16,   // trackbar selection range enabled
    CS_GROUP = 1u << 17,      // starts a group
    CS_SUNKEN = 1u << 18,     // sunken frame
    CS_BLACKFRAME = 1u << 19, // frame drawn in the window-frame colour
    CS_UNSORTED = 1u << 20,   // list kept in the order given
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* caption;
    int x, y, w, h;
    unsigned styles;
    int resource = 0;                 // bitmap or icon of a picture control
    std::vector<const char*> items{}; // initial list of a combo box
};

// Dialog styles.
enum DialogStyle : unsigned {
    DS_VISIBLE = 1u << 0,
    DS_CAPTION = 1u << 1,
    DS_SYSMENU = 1u << 2,
    DS_MINIMIZEBOX = 1u << 3,
    DS_MODALFRAME = 1u << 4,
    DS_APPWINDOW = 1u << 5,
    DS_CLIENTEDGE = 1u << 6,
};

struct DialogTemplate {
    int id;
    const char* caption;
    int cx, cy;
    const char* fontFace;
    int fontPoints;
    unsigned styles;
    std::vector<ControlTemplate> controls;
    // Plot windows are laid out at exactly two pixels per dialog unit.
    bool twoPixelsPerUnit = false;
};

// The templates of the program, by id (defined in resources/).
const DialogTemplate* FindDialogTemplate(int nId);
