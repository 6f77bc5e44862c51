#include "app/SettingsFileActions.h"

#include "app/SettingsFile.h"
#include "canparam/CANParamWidget.h"
#include "canparam/ChannalPageWidget.h"
#include "offline/OfflineListWidget.h"
#include "widgets/Dialogs.h"

#include <QComboBox>
#include <QJsonObject>

SettingsFileActions::SettingsFileActions(CANParamWidget &panel, OfflineListWidget &list,
                                         QComboBox &sendType, QWidget *parent)
    : m_panel(panel), m_list(list), m_sendType(sendType), m_parent(parent)
{
}

void SettingsFileActions::save()
{
    const QString path = Dialogs::instance().saveFileName(m_parent, tr("保存配置"), QString(),
                                                          tr("TXT文件(*.txt)"));
    if (path.isEmpty())
        return;
    QJsonArray channals;
    for (int i = 0; i < m_panel.channalCount(); ++i)
        if (ChannalPageWidget *page = m_panel.page(i))
            channals.append(page->toJson());
    const QByteArray text =
        SettingsFile::compose(channals, m_sendType.currentIndex(), m_list.toJson());
    QString error;
    if (!SettingsFile::save(path, text, &error)) {
        Dialogs::warning(m_parent, tr("失败"), tr("写配置文件失败.") + error);
        return;
    }
    Dialogs::information(m_parent, tr("提示"), tr("保存成功"));
}

void SettingsFileActions::read()
{
    const QString path = Dialogs::instance().openFileName(m_parent, tr("打开配置"), QString(),
                                                          tr("TXT文件(*.txt)"));
    if (path.isEmpty())
        return;
    QByteArray text;
    QString error;
    if (!SettingsFile::load(path, &text, &error)) {
        Dialogs::warning(m_parent, tr("失败"), tr("打开配置文件失败.") + error);
        return;
    }
    const SettingsFile::Content content = SettingsFile::parse(text);
    if (content.status == SettingsFile::Content::NotJson) {
        Dialogs::warning(m_parent, tr("失败"), tr("解析配置文件失败.") + content.parserError);
        return;
    }
    if (content.status == SettingsFile::Content::MissingKeys) {
        Dialogs::warning(m_parent, tr("失败"), tr("解析配置文件失败."));
        return;
    }
    // Position, not "ChannalID", picks the page.
    for (int i = 0; i < content.canParam.size(); ++i)
        if (ChannalPageWidget *page = m_panel.page(i))
            page->fromJson(content.canParam.at(i).toObject());
    m_list.fromJson(content.offlineDatas);
    if (content.sendType >= 0)
        m_sendType.setCurrentIndex(content.sendType);
    Dialogs::information(m_parent, tr("提示"), tr("读取成功"));
}

void SettingsFileActions::resetShownChannals()
{
    for (int i = 0; i < m_panel.channalCount(); ++i)
        if (ChannalPageWidget *page = m_panel.page(i))
            page->resetDefaults();
}
