// Dialog and menu templates: the program's dialog and menu resources, registered by its
// resources/ folder and found by id, like the templates compiled into a Windows program.
#pragma once

#include <string>
#include <vector>

#include "win32/types.h"

enum class ControlKind { Button, DefaultButton, RadioButton, CheckBox, GroupBox, Edit, Static };

struct ControlTemplate {
    int id = -1;
    ControlKind kind = ControlKind::Static;
    std::u16string text;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;  // dialog units
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    WORD menu = 0;                       // menu resource id, 0 for none
    std::u16string caption;
    std::u16string fontName;
    WORD fontSize = 8;
    std::vector<ControlTemplate> controls;  // template order is tab order
};

struct MenuTemplateItem {
    std::u16string text;  // empty with separator
    UINT id = 0;
    bool separator = false;
    std::vector<MenuTemplateItem> popup;  // non-empty: a submenu
};

void RegisterDialogTemplate(WORD id, DialogTemplate dialog);
const DialogTemplate* FindDialogTemplate(WORD id);
void RegisterMenuTemplate(WORD id, std::vector<MenuTemplateItem> bar);
const std::vector<MenuTemplateItem>* FindMenuTemplate(WORD id);

// Dialog units to pixels for the dialog font ("MS Shell Dlg" 8 point: base units 6 x 13).
int DialogUnitsToPixelsX(int units);
int DialogUnitsToPixelsY(int units);
