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
    retranslate();
}

void CANParamWidget::addChannalTabs(int n) { m_nChannalCount = n; }

void CANParamWidget::removeAllTabs() {}

ChannalPageWidget *CANParamWidget::page(int i) const
{
    return qobject_cast<ChannalPageWidget *>(m_pTabWidgetChannal->widget(i));
}

void CANParamWidget::retranslate() { setWindowTitle(tr("CANParamWidget")); }
