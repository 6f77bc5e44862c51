#pragma once
// Which language the window starts in: decided by the system's default language, the
// way the Windows language identifier is read (0x0409 English (US), 0x0804 Chinese (PRC)).

#include <QLocale>
#include <QtGlobal>

enum class StartLanguage { English, SimplifiedChinese, Unchanged };

StartLanguage startLanguageForLangId(quint16 langId);
// Elsewhere the system locale stands in, mapped to the same three cases.
StartLanguage startLanguageForLocale(const QLocale &locale);
// The platform's own answer.
StartLanguage systemStartLanguage();
