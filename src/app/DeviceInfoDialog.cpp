#include "app/DeviceInfoDialog.h"

#include "app/SessionCommands.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

DeviceInfoDialog::DeviceInfoDialog(int channalCount, CWrapWinUSB *link, QWidget *parent)
    : QDialog(parent), m_link(link), m_nChannalCount(channalCount)
{
    setObjectName(QStringLiteral("DeviceInfoDialog"));
    setWindowIcon(QIcon(QStringLiteral(":/App/Resources/app.ico")));
    QFont f = font();
    f.setPointSize(10);
    setFont(f);
    setFixedSize(350, 370);
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);

    auto *layout = new QVBoxLayout(this);
    auto addRow = [this, layout](QLabel *&label, const char *labelName, QLineEdit *&field,
                                 const char *fieldName) {
        label = new QLabel(this);
        label->setObjectName(QLatin1String(labelName));
        field = new QLineEdit(this);
        field->setObjectName(QLatin1String(fieldName));
        field->setReadOnly(true);
        auto *row = new QHBoxLayout;
        row->addStretch();
        row->addWidget(label);
        row->addWidget(field);
        row->addStretch();
        layout->addLayout(row);
    };
    addRow(m_labelDevType, "m_labelDevType", m_lineEditDevType, "m_lineEditDevType");
    addRow(m_labelDevNum, "m_labelDevNum", m_lineEditDevNum, "m_lineEditDevNum");
    addRow(m_labelHardwareVer, "m_labelHardwareVer", m_lineEditHardwareVer,
           "m_lineEditHardwareVer");
    addRow(m_labelFirmwareVer, "m_labelFirmwareVer", m_lineEditFirmwareVer,
           "m_lineEditFirmwareVer");
    addRow(m_labelChannalCount, "m_labelChannalCount", m_lineEditChannalCount,
           "m_lineEditChannalCount");
    layout->addStretch();

    retranslateUi();
    query();
}

void DeviceInfoDialog::query()
{
    if (!m_link)
        return;
    const SessionCommands::DeviceInfo info = SessionCommands::readDeviceInfo(*m_link);
    // Nothing at all when the first request could not be written.
    if (!info.reached)
        return;
    m_lineEditDevNum->setText(info.serialNumber);
    m_lineEditDevType->setText(info.deviceType);
    m_lineEditChannalCount->setText(QString::number(m_nChannalCount));
    m_lineEditHardwareVer->setText(info.hardwareVersion);
    m_lineEditFirmwareVer->setText(info.firmwareVersion);
}

void DeviceInfoDialog::retranslateUi()
{
    setWindowTitle(tr("设备信息"));
    m_labelDevType->setText(tr("设备类型："));
    m_labelDevNum->setText(tr("设备序号："));
    m_labelHardwareVer->setText(tr("硬件版本："));
    m_labelFirmwareVer->setText(tr("固件版本："));
    m_labelChannalCount->setText(tr("通道个数："));
    // One width for every label keeps the fields in a column; 90 unless a language's
    // longest label needs more.
    const QList<QLabel *> labels{m_labelDevType, m_labelDevNum, m_labelHardwareVer,
                                 m_labelFirmwareVer, m_labelChannalCount};
    int width = 90;
    for (QLabel *label : labels)
        width = qMax(width, label->sizeHint().width());
    for (QLabel *label : labels)
        label->setFixedWidth(width);
}

void DeviceInfoDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QDialog::changeEvent(event);
}
