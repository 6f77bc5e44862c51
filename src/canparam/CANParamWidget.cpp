#include "canparam/CANParamWidget.h"

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

void CANParamWidget::retranslate() { setWindowTitle(tr("CANParamWidget")); }
