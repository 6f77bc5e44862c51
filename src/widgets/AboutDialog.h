#pragma once
// Product name, version, maker and web site, in a frameless dialog.

#include "widgets/AbsFrameLessAutoSize.h"

class QLabel;
class QPushButton;
class TitleWidget;

class AboutDialog : public AbsFrameLessAutoSize
{
    Q_OBJECT
public:
    explicit AboutDialog(QWidget *parent = nullptr);

    // "FileVersion" of the executable at path; empty when it has none. Outside Windows
    // executables carry no version resource, so this is the version the build compiled in.
    static QString getFileVersion(const QString &path);

    // Version-resource query path for one language and code page,
    // e.g. "\StringFileInfo\080404b0\FileVersion".
    static QString fileVersionQueryPath(unsigned language, unsigned codePage);

    static QString webSiteUrl();

public slots:
    void onButtonOK();

private:
    TitleWidget *m_pTitleWidget = nullptr;
    QLabel *m_pLabelLogo = nullptr;
    QLabel *m_pLabelProductName = nullptr;
    QLabel *m_pLabelVersion = nullptr;
    QLabel *m_pLabelCopyright = nullptr;
    QLabel *m_pLabelWebSite = nullptr;
    QPushButton *m_pPushButtonOK = nullptr;
};
