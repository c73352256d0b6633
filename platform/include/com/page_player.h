// The Flash control class, and what the engine asks of a control that plays content inside
// pages through script files of its own. A module makes the class available to the process
// (CoRegisterClassObject); the engine then serves the control's files to pages and runs its
// loader in every frame.
#pragma once

#include "com/com.h"

// {D27CDB6E-AE6D-11cf-96B8-444553540000}
inline constexpr CLSID CLSID_FlashControl{0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

class IPagePlayer : public IUnknown {
public:
    // The folder (a Windows path, without a trailing separator) of the player's files. Pages
    // may load every file in it and nothing outside it.
    virtual HRESULT GetFolder(BSTR* folder) = 0;
    // The file name, inside that folder, of the script a page runs to load the player.
    virtual HRESULT GetLoader(BSTR* fileName) = 0;

protected:
    ~IPagePlayer() = default;
};
// {6C1E0B52-3F7A-4C2D-9E51-8A7B2D40F1C3}
inline constexpr IID IID_IPagePlayer{0x6C1E0B52, 0x3F7A, 0x4C2D, {0x9E, 0x51, 0x8A, 0x7B, 0x2D, 0x40, 0xF1, 0xC3}};
