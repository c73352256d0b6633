// GetUserDefaultLangID from the POSIX locale variables. A language identifier is the
// primary language in the low ten bits and the sublanguage above; only a small table of
// common locales is known, anything else counts as U.S. English.
#include <cstdlib>
#include <string>
#include <string_view>

#include "win32/api.h"

namespace {

constexpr LANGID kUnitedStatesEnglish = 0x0409;

struct LocaleLanguage {
    std::string_view locale;  // "ll_CC", or "ll" for the language's default
    LANGID language;
};

constexpr LocaleLanguage kLanguages[] = {
    {"en", 0x0409},    {"en_US", 0x0409}, {"en_GB", 0x0809}, {"en_AU", 0x0C09}, {"en_CA", 0x1009},
    {"en_IE", 0x1809}, {"de", 0x0407},    {"de_DE", 0x0407}, {"de_CH", 0x0807}, {"de_AT", 0x0C07},
    {"fr", 0x040C},    {"fr_FR", 0x040C}, {"fr_BE", 0x080C}, {"fr_CA", 0x0C0C}, {"fr_CH", 0x100C},
    {"es", 0x0C0A},    {"es_ES", 0x0C0A}, {"es_MX", 0x080A}, {"it", 0x0410},    {"it_IT", 0x0410},
    {"nl", 0x0413},    {"nl_NL", 0x0413}, {"nl_BE", 0x0813}, {"pt", 0x0816},    {"pt_PT", 0x0816},
    {"pt_BR", 0x0416}, {"sv", 0x041D},    {"sv_SE", 0x041D}, {"da", 0x0406},    {"da_DK", 0x0406},
    {"nb", 0x0414},    {"nb_NO", 0x0414}, {"fi", 0x040B},    {"fi_FI", 0x040B}, {"pl", 0x0415},
    {"pl_PL", 0x0415}, {"cs", 0x0405},    {"cs_CZ", 0x0405}, {"ru", 0x0419},    {"ru_RU", 0x0419},
    {"ja", 0x0411},    {"ja_JP", 0x0411}, {"ko", 0x0412},    {"ko_KR", 0x0412}, {"zh_CN", 0x0804},
    {"zh_TW", 0x0404}, {"tr", 0x041F},    {"tr_TR", 0x041F},
};

std::string ActiveMessageLocale() {
    // The order in which the C library itself decides the language of messages.
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && value[0] != '\0') return value;
    }
    return {};
}

}  // namespace

LANGID GetUserDefaultLangID() {
    std::string locale = ActiveMessageLocale();
    // "de_DE.UTF-8@euro" -> "de_DE"
    const auto cut = locale.find_first_of(".@");
    if (cut != std::string::npos) locale.resize(cut);
    for (const auto& entry : kLanguages) {
        if (entry.locale == locale) return entry.language;
    }
    // A known language in an unknown country: that language's default.
    const auto underscore = locale.find('_');
    if (underscore != std::string::npos) {
        const std::string_view language(locale.data(), underscore);
        for (const auto& entry : kLanguages) {
            if (entry.locale == language) return entry.language;
        }
    }
    return kUnitedStatesEnglish;  // "C", "POSIX" and everything unknown
}
