#include "monitor/DataMonitorWidget.h"

#include "widgets/SwitchButton.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

DataMonitorWidget::DataMonitorWidget(CWrapWinUSB *link, QWidget *parent)
    : QWidget(parent), m_link(link)
{
    setObjectName(QStringLiteral("DataMonitorWidget"));
    resize(711, 424);
    QFont f = font();
    f.setPointSize(10);
    setFont(f);

    m_pPushButtonSave = new QPushButton(this);
    m_pPushButtonSave->setObjectName(QStringLiteral("m_pPushButtonSave"));
    m_pLabelOfflineSend = new QLabel(this);
    m_pLabelOfflineSend->setObjectName(QStringLiteral("m_pLabelOfflineSend"));
    m_pWidgetOfflineSend = new SwitchButton(this);
    m_pWidgetOfflineSend->setObjectName(QStringLiteral("m_pWidgetOfflineSend"));
    m_pLabelDataWatch = new QLabel(this);
    m_pLabelDataWatch->setObjectName(QStringLiteral("m_pLabelDataWatch"));
    m_pWidgetDataWatch = new SwitchButton(this);
    m_pWidgetDataWatch->setObjectName(QStringLiteral("m_pWidgetDataWatch"));
    m_pTextEditRecords = new QTextEdit(this);
    m_pTextEditRecords->setObjectName(QStringLiteral("m_pTextEditRecords"));
    m_pComboBoxFrameFormat = new QComboBox(this);
    m_pComboBoxFrameFormat->setObjectName(QStringLiteral("m_pComboBoxFrameFormat"));
    m_pLabelHeader = new QLabel(this);
    m_pLabelHeader->setObjectName(QStringLiteral("m_pLabelHeader"));

    for (SwitchButton *sw : {m_pWidgetOfflineSend, m_pWidgetDataWatch}) {
        sw->setFixedSize(50, 21);
        applyProgramSwitchStyle(sw);
    }
    m_pComboBoxFrameFormat->setFixedHeight(22);
    m_pComboBoxFrameFormat->addItem(QStringLiteral("HEX"));
    m_pComboBoxFrameFormat->addItem(QStringLiteral("ASC"));
    m_pTextEditRecords->setReadOnly(true);
    m_pLabelHeader->setScaledContents(true);
    m_pLabelHeader->setAlignment(Qt::AlignBottom);

    auto *top = new QHBoxLayout;
    top->addWidget(m_pLabelHeader, 0, Qt::AlignBottom);
    top->addWidget(m_pComboBoxFrameFormat);
    top->addStretch();
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(m_pPushButtonSave);
    bottom->addSpacing(30);
    bottom->addWidget(m_pLabelOfflineSend);
    bottom->addWidget(m_pWidgetOfflineSend);
    bottom->addSpacing(30);
    bottom->addWidget(m_pLabelDataWatch);
    bottom->addWidget(m_pWidgetDataWatch);
    bottom->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_pTextEditRecords);
    layout->addLayout(bottom);

    retranslate();
}

void DataMonitorWidget::setIdFilter(IdFilter *filter) { m_idFilter = filter; }

void DataMonitorWidget::retranslate()
{
    setWindowTitle(tr("DataMonitorWidget"));
    m_pPushButtonSave->setText(tr("保存数据"));
    m_pLabelOfflineSend->setText(tr("离线发送"));
    m_pLabelDataWatch->setText(tr("数据监控"));
}

// Interface fixed for the callers; the session itself is being built.
void DataMonitorWidget::closeWatch() {}
bool DataMonitorWidget::isOfflineSendOn() const { return m_pWidgetOfflineSend->isChecked(); }
void DataMonitorWidget::setOfflineSend(bool on) { m_pWidgetOfflineSend->setChecked(on); }
