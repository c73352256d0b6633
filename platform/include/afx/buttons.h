// Framework objects for a dialog's buttons and edit boxes, attached to the dialog's own
// controls with DDX_Control.
#pragma once

#include "afx/wnd.h"

class CButton : public CWnd {
public:
    // BST_CHECKED, BST_UNCHECKED or BST_INDETERMINATE (BM_SETCHECK / BM_GETCHECK).
    void SetCheck(int state);
    int GetCheck() const;
};

class CEdit : public CWnd {};
