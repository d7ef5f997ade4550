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

// Control styles, combined as bits: only those the controls act on.
enum ControlStyle : unsigned {
    CS_CENTER = 1u << 0,     // text centred
    CS_RIGHT = 1u << 1,      // text right-aligned
    CS_READONLY = 1u << 2,   // edit cannot be changed by the user
    CS_NUMBER = 1u << 3,     // edit takes digits only
    CS_BORDER = 1u << 4,     // thin border
    CS_STATICEDGE = 1u << 5, // one-pixel sunken edge
    CS_CLIENTEDGE = 1u << 6, // two-pixel sunken edge
    CS_RAISED = 1u << 7,     // raised frame
    CS_TABSTOP = 1u << 8,    // reached by the tab key
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
