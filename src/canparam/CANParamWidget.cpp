#include "canparam/CANParamWidget.h"

#include "canparam/ChannalPageWidget.h"

#include <QTabWidget>
#include <QVBoxLayout>

CANParamWidget::CANParamWidget(QWidget *parent) : QWidget(parent)
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("CANParamWidget"));
    resize(652, 394);
    QFont f = font();
    f.setPointSize(10);
    setFont(f);

    m_pTabWidgetChannal = new QTabWidget(this);
    m_pTabWidgetChannal->setObjectName(QStringLiteral("m_pTabWidgetChannal"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pTabWidgetChannal);
    // Owned by the panel; a page not shown as a tab is hidden but keeps its values.
    for (int i = 0; i < PageCount; ++i) {
        m_pages[i] = new ChannalPageWidget(i, this);
        m_pages[i]->hide();
    }
    retranslate();
}

void CANParamWidget::addChannalTabs(int n)
{
    removeAllTabs();
    for (int i = 0; i < n && i < PageCount; ++i)
        m_pTabWidgetChannal->addTab(m_pages[i], tr("通道") + QString::number(i));
    m_nChannalCount = n;
}

void CANParamWidget::removeAllTabs()
{
    for (int i = m_pTabWidgetChannal->count() - 1; i >= 0; --i) {
        QWidget *shown = m_pTabWidgetChannal->widget(i);
        m_pTabWidgetChannal->removeTab(i);
        // Back to the panel, so the page stays owned and out of sight.
        shown->setParent(this);
        shown->hide();
    }
}

ChannalPageWidget *CANParamWidget::page(int i) const
{
    return qobject_cast<ChannalPageWidget *>(m_pTabWidgetChannal->widget(i));
}

void CANParamWidget::retranslate()
{
    setWindowTitle(tr("CANParamWidget"));
    for (ChannalPageWidget *p : m_pages)
        p->retranslate();
    for (int i = 0; i < m_pTabWidgetChannal->count(); ++i)
        m_pTabWidgetChannal->setTabText(i, tr("通道") + QString::number(i));
}
