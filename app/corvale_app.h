// The application object: the whole life of the program runs in InitInstance.
#pragma once

#include "afx/app.h"

class CCorvaleApp : public CWinApp {
public:
    CCorvaleApp();
    ~CCorvaleApp() override;
    BOOL InitInstance() override;
};

namespace startup {
constexpr const char16_t* kSettingsFileName = u"AppSettings.ini";
constexpr const char16_t* kRegistryFallbackKey = u"Local AppWizard-Generated Applications";
constexpr const char16_t* kFlashClassKey = u"CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}\\InprocServer32";
constexpr const char16_t* kFlashModulePattern = u"%sMOXVE32_24.ocx";
constexpr const char* kLocalRegisterExport = "DllLocalRegister";
constexpr const char* kRegisterServerExport = "DllRegisterServer";
constexpr const char16_t* kFlashNotRegisteredWarning =
    u"No Flash Player is found registered in the system. This may cause your Flash-based application to not "
    u"recognise the presence of Flash Player within the packaged browser.\n\nTo rectify this, please contact "
    u"KELVARO for a utility to restore the registry settings so that JavaScript will believe there is a Flash "
    u"Player present.";
constexpr const char16_t* kFatalMessage = u"Could not initialize the Flash Player: unable to proceed";
constexpr const char16_t* kFatalCaption = u"FATAL ERROR";

// ExeName: InternalName without its last four characters (its extension); empty when it has
// four or fewer.
std::u16string ExeNameOf(const std::u16string& internalName);
}  // namespace startup
