#include "app/LanguageChoice.h"

#if defined(Q_OS_WIN)
#include <windows.h>
#endif

StartLanguage startLanguageForLangId(quint16 langId)
{
    switch (langId) {
    case 0x0409:
        return StartLanguage::English;
    case 0x0804:
        return StartLanguage::SimplifiedChinese;
    default:
        return StartLanguage::Unchanged;
    }
}

StartLanguage startLanguageForLocale(const QLocale &locale)
{
    if (locale.language() == QLocale::English && locale.country() == QLocale::UnitedStates)
        return StartLanguage::English;
    if (locale.language() == QLocale::Chinese && locale.country() == QLocale::China)
        return StartLanguage::SimplifiedChinese;
    return StartLanguage::Unchanged;
}

StartLanguage systemStartLanguage()
{
#if defined(Q_OS_WIN)
    return startLanguageForLangId(GetSystemDefaultLangID());
#else
    return startLanguageForLocale(QLocale::system());
#endif
}
