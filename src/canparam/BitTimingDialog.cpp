#include "canparam/BitTimingDialog.h"

#include "canparam/BitTiming.h"
#include "canparam/BitTimingReadout.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int ListedValues = 20;
}

BitTimingDialog::BitTimingDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("BitTimingDialog"));
    setWindowTitle(tr("波特率计算"));
    m_pLabelBitRate = new QLabel(tr("波特率(kbit/s)："), this);
    m_pSpinBoxBitRate = new QDoubleSpinBox(this);
    m_pSpinBoxBitRate->setObjectName(QStringLiteral("m_pSpinBoxBitRate"));
    m_pSpinBoxBitRate->setRange(1.0, 1000.0);
    m_pSpinBoxBitRate->setDecimals(3);
    m_pLabelSamplePoint = new QLabel(tr("采样点(%)："), this);
    m_pSpinBoxSamplePoint = new QDoubleSpinBox(this);
    m_pSpinBoxSamplePoint->setObjectName(QStringLiteral("m_pSpinBoxSamplePoint"));
    m_pSpinBoxSamplePoint->setRange(50.0, 95.0);
    m_pSpinBoxSamplePoint->setDecimals(1);
    m_pListWidgetCandidates = new QListWidget(this);
    m_pListWidgetCandidates->setObjectName(QStringLiteral("m_pListWidgetCandidates"));
    m_pListWidgetCandidates->setMinimumWidth(600);
    QFont mono = m_pListWidgetCandidates->font();
    mono.setFamily(QStringLiteral("monospace"));
    m_pListWidgetCandidates->setFont(mono);
    m_pButtonBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_pButtonBox->button(QDialogButtonBox::Ok)->setText(tr("确定"));
    m_pButtonBox->button(QDialogButtonBox::Cancel)->setText(tr("取消"));

    auto *form = new QFormLayout;
    form->addRow(m_pLabelBitRate, m_pSpinBoxBitRate);
    form->addRow(m_pLabelSamplePoint, m_pSpinBoxSamplePoint);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_pListWidgetCandidates);
    layout->addWidget(m_pButtonBox);

    connect(m_pButtonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_pButtonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_pListWidgetCandidates, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    for (QDoubleSpinBox *box : {m_pSpinBoxBitRate, m_pSpinBoxSamplePoint})
        connect(box, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
                &BitTimingDialog::onWantedChanged);
    setWanted(250.0, 87.5);
}

QString BitTimingDialog::openerText()
{
    return tr("计算...");
}

void BitTimingDialog::setWanted(double kbitsPerSecond, double samplePointPercent)
{
    {
        const QSignalBlocker rate(m_pSpinBoxBitRate);
        const QSignalBlocker point(m_pSpinBoxSamplePoint);
        m_pSpinBoxBitRate->setValue(kbitsPerSecond);
        m_pSpinBoxSamplePoint->setValue(samplePointPercent);
    }
    onWantedChanged();
}

QString BitTimingDialog::chosenRegister() const
{
    const QListWidgetItem *item = m_pListWidgetCandidates->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

void BitTimingDialog::onWantedChanged()
{
    const double wanted = m_pSpinBoxBitRate->value() * 1000.0;
    const QVector<BitTiming> list =
        BitTiming::candidates(wanted, m_pSpinBoxSamplePoint->value() / 100.0, ListedValues);
    m_pListWidgetCandidates->clear();
    for (const BitTiming &t : list) {
        const QString value = QString::asprintf("0x%08X", t.registerValue());
        auto *item = new QListWidgetItem(
            QStringLiteral("%1   %2   (%3 × %4 tq)")
                .arg(value, BitTimingReadout::describe(t))
                .arg(t.prescaler())
                .arg(t.quantaPerBit()),
            m_pListWidgetCandidates);
        item->setData(Qt::UserRole, value);
    }
    m_pListWidgetCandidates->setCurrentRow(list.isEmpty() ? -1 : 0);
}
