#include "widgets/AboutDialog.h"

#include "widgets/TitleWidget.h"

#include <QCoreApplication>
#include <QDate>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#ifdef Q_OS_WIN
#include <windows.h>
#include <winver.h>

#include <vector>
#endif

namespace {

QString fourHexDigits(unsigned value)
{
    return (QStringLiteral("000") + QString::number(value, 16)).right(4);
}

} // namespace

AboutDialog::AboutDialog(QWidget *parent)
    : AbsFrameLessAutoSize(parent)
{
    setFixedSize(550, 200);
    setWindowIcon(QIcon(QStringLiteral(":/App/Resources/app.ico")));

    m_pTitleWidget = new TitleWidget(0, this);
    m_pTitleWidget->setTitle(tr("关于"));

    m_pLabelLogo = new QLabel(this);
    m_pLabelLogo->setObjectName(QStringLiteral("m_pLabelLogo"));
    m_pLabelLogo->setFixedSize(186, 30);
    m_pLabelLogo->setPixmap(QPixmap(QStringLiteral(":/App/Resources/company _logo.png")));

    m_pLabelVersion = new QLabel(this);
    m_pLabelVersion->setObjectName(QStringLiteral("m_pLabelVersion"));
    m_pLabelVersion->setText(tr("版本：")
                             + getFileVersion(QCoreApplication::applicationFilePath()));

    m_pLabelProductName = new QLabel(this);
    m_pLabelProductName->setObjectName(QStringLiteral("m_pLabelProductName"));
    m_pLabelProductName->setText(tr("Brantel."));

    m_pLabelCopyright = new QLabel(this);
    m_pLabelCopyright->setObjectName(QStringLiteral("m_pLabelCopyright"));
    m_pLabelCopyright->setText(QStringLiteral("© %1 ").arg(QDate::currentDate().year())
                               + tr("Harlowen."));

    m_pLabelWebSite = new QLabel(this);
    m_pLabelWebSite->setObjectName(QStringLiteral("m_pLabelWebSite"));
    m_pLabelWebSite->setTextFormat(Qt::RichText);
    m_pLabelWebSite->setOpenExternalLinks(true);
    // The link shows the host only: the full address does not fit beside the logo.
    const QUrl url(webSiteUrl());
    m_pLabelWebSite->setText(tr("官网：")
                             + QStringLiteral("<a href=\"%1\">%2</a>")
                                   .arg(url.toString(), url.host()));

    m_pPushButtonOK = new QPushButton(tr("确定"), this);
    m_pPushButtonOK->setObjectName(QStringLiteral("m_pPushButtonOK"));

    auto *textColumn = new QVBoxLayout;
    textColumn->setSpacing(0);
    textColumn->addWidget(m_pLabelProductName);
    textColumn->addSpacing(5);
    textColumn->addWidget(m_pLabelVersion);
    textColumn->addSpacing(5);
    textColumn->addWidget(m_pLabelCopyright);
    textColumn->addSpacing(5);
    textColumn->addWidget(m_pLabelWebSite);

    auto *content = new QHBoxLayout;
    content->setSpacing(0);
    content->addSpacing(20);
    content->addWidget(m_pLabelLogo, 0, Qt::AlignTop);
    content->addSpacing(50);
    content->addLayout(textColumn);
    content->addStretch();

    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(m_pPushButtonOK);
    buttonRow->addStretch();

    auto *mainLayout = new QVBoxLayout(this);
    mainLayout->setSpacing(0);
    // The 2-pixel margins leave the painted shadow free.
    mainLayout->setContentsMargins(2, 2, 2, 2);
    mainLayout->addWidget(m_pTitleWidget);
    mainLayout->addSpacing(10);
    mainLayout->addLayout(content);
    mainLayout->addStretch();
    mainLayout->addLayout(buttonRow);
    mainLayout->addSpacing(10);

    connect(m_pPushButtonOK, &QPushButton::clicked, this, &AboutDialog::onButtonOK);
    connect(m_pTitleWidget, &TitleWidget::closeWidget, this, &AboutDialog::onButtonOK);
}

void AboutDialog::onButtonOK()
{
    close();
}

QString AboutDialog::webSiteUrl()
{
    return QStringLiteral("https://www.harlowen.example/");
}

QString AboutDialog::fileVersionQueryPath(unsigned language, unsigned codePage)
{
    return QStringLiteral("\\StringFileInfo\\") + fourHexDigits(language)
        + fourHexDigits(codePage) + QStringLiteral("\\FileVersion");
}

#ifdef Q_OS_WIN

QString AboutDialog::getFileVersion(const QString &path)
{
    const std::wstring file = path.toStdWString();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &handle);
    if (size == 0)
        return QString();

    std::vector<char> info(size + 1, 0);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, info.data()))
        return QString();

    struct LangAndCodePage {
        WORD language;
        WORD codePage;
    };
    LangAndCodePage *translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation",
                        reinterpret_cast<LPVOID *>(&translation), &length)
        || translation == nullptr || length < sizeof(LangAndCodePage))
        return QString();

    const std::wstring query =
        fileVersionQueryPath(translation[0].language, translation[0].codePage).toStdWString();
    wchar_t *value = nullptr;
    UINT valueLength = 0;
    if (!VerQueryValueW(info.data(), query.c_str(), reinterpret_cast<LPVOID *>(&value),
                        &valueLength)
        || value == nullptr)
        return QString();
    return QString::fromWCharArray(value);
}

#else

QString AboutDialog::getFileVersion(const QString &)
{
    return QStringLiteral(BRANTEL_VERSION);
}

#endif
