#include "canparam/ChannalPageWidget.h"

#include "canparam/BaudRateTable.h"
#include "canparam/BitTimingDialog.h"
#include "canparam/BitTimingReadout.h"
#include "canparam/ChannalObject.h"
#include "widgets/TextFit.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Column { ColEnabled, ColWorkMode, ColBitCount, ColId, ColMask, ColumnCount };

constexpr int SelectorWidth = 90;
constexpr int EnabledWidth = 30;
constexpr int IdWidth = 150;

QFont pointSize10(QFont font)
{
    font.setPointSize(10);
    return font;
}

} // namespace

ChannalPageWidget::ChannalPageWidget(int channalId, QWidget *parent)
    : QWidget(parent), m_channalId(channalId)
{
    setupUi();
}

void ChannalPageWidget::setupUi()
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("ChannalPageWidget"));
    resize(782, 362);
    setFont(pointSize10(font()));

    m_pLabelBautRate = new QLabel(this);
    m_pLabelBautRate->setObjectName(QStringLiteral("m_pLabelBautRate"));
    m_pComboBoxBautRate = new QComboBox(this);
    m_pComboBoxBautRate->setObjectName(QStringLiteral("m_pComboBoxBautRate"));
    m_pComboBoxBautRate->setMinimumWidth(SelectorWidth);
    m_pComboBoxBautRate->setMaximumWidth(SelectorWidth);
    m_pTableWidgetDataList = new QTableWidget(this);
    m_pTableWidgetDataList->setObjectName(QStringLiteral("m_pTableWidgetDataList"));
    m_pTableWidgetDataList->setColumnCount(ColumnCount);
    for (int c = 0; c < ColumnCount; ++c) {
        auto *header = new QTableWidgetItem;
        header->setFont(pointSize10(m_pTableWidgetDataList->font()));
        m_pTableWidgetDataList->setHorizontalHeaderItem(c, header);
    }
    m_pLineEditRegister = new QLineEdit(this);
    m_pLineEditRegister->setObjectName(QStringLiteral("m_pLineEditRegister"));
    // Wide enough for a whole register value in any font, never narrower than its
    // neighbour; the text is set later, so the widest hex digit stands in for it.
    QChar widest = QLatin1Char('0');
    for (const QChar c : QStringLiteral("0123456789ABCDEFabcdef")) {
        if (m_pLineEditRegister->fontMetrics().horizontalAdvance(c)
            > m_pLineEditRegister->fontMetrics().horizontalAdvance(widest))
            widest = c;
    }
    m_pLineEditRegister->setFixedWidth(qMax(
        SelectorWidth,
        TextFit::lineEditWidthFor(m_pLineEditRegister, QStringLiteral("0x") + QString(8, widest))));
    m_pLabelBitTiming = new BitTimingReadout(this);
    m_pPushButtonCalculator = new QPushButton(this);
    m_pPushButtonCalculator->setObjectName(QStringLiteral("m_pPushButtonCalculator"));
    connect(m_pLineEditRegister, &QLineEdit::textChanged, m_pLabelBitTiming,
            &BitTimingReadout::showRegisterText);
    connect(m_pPushButtonCalculator, &QPushButton::clicked, this,
            &ChannalPageWidget::onPushButtonCalculator);

    retranslate();
    m_pLineEditRegister->setText(tr("0x00000000"));

    connect(m_pComboBoxBautRate, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ChannalPageWidget::onCurrentIndexChangedComboBoxBautRate);

    auto *row = new QHBoxLayout;
    row->addWidget(m_pLabelBautRate);
    row->addWidget(m_pComboBoxBautRate);
    row->addWidget(m_pLineEditRegister);
    row->addWidget(m_pLabelBitTiming);
    row->addWidget(m_pPushButtonCalculator);
    row->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addSpacing(10);
    layout->addWidget(m_pTableWidgetDataList);
    m_pTableWidgetDataList->horizontalHeader()->setStretchLastSection(true);

    // The slot is connected first, so inserting the rows already writes the field.
    for (int r = 0; r < BaudRateTable::RowCount; ++r) {
        const QString label = r == BaudRateTable::CustomRow ? tr("自定义") : BaudRateTable::label(r);
        m_pComboBoxBautRate->addItem(label, BaudRateTable::value(r));
    }
    m_pComboBoxBautRate->setCurrentIndex(BaudRateTable::DefaultRow);

    m_pTableWidgetDataList->setColumnWidth(ColEnabled, EnabledWidth);
    m_pTableWidgetDataList->setColumnWidth(ColId, IdWidth);
    m_pTableWidgetDataList->setRowCount(FilterBankCount);
    for (int r = 0; r < FilterBankCount; ++r) {
        auto *check = new QTableWidgetItem;
        check->setFlags(check->flags() & ~Qt::ItemIsEditable);
        check->setCheckState(Qt::Unchecked);
        m_pTableWidgetDataList->setItem(r, ColEnabled, check);

        auto *workMode = new QComboBox;
        workMode->addItems({tr("掩码模式"), tr("列表模式")});
        m_pTableWidgetDataList->setCellWidget(r, ColWorkMode, workMode);
        auto *bitCount = new QComboBox;
        bitCount->addItems({QStringLiteral("16"), QStringLiteral("32")});
        bitCount->setCurrentIndex(1);
        m_pTableWidgetDataList->setCellWidget(r, ColBitCount, bitCount);

        const DataListEntry defaults;
        m_pTableWidgetDataList->setItem(r, ColId, new QTableWidgetItem(defaults.idText));
        m_pTableWidgetDataList->setItem(r, ColMask, new QTableWidgetItem(defaults.maskText));
    }
    m_pTableWidgetDataList->item(0, ColEnabled)->setCheckState(Qt::Checked);
    TextFit::growColumnToContents(m_pTableWidgetDataList, ColWorkMode);
}

QComboBox *ChannalPageWidget::comboAt(int row, int column) const
{
    return qobject_cast<QComboBox *>(m_pTableWidgetDataList->cellWidget(row, column));
}

void ChannalPageWidget::onCurrentIndexChangedComboBoxBautRate(int index)
{
    if (index < 0)
        return;
    const QByteArray value = m_pComboBoxBautRate->itemData(index, Qt::UserRole).toByteArray();
    m_pLineEditRegister->setText(BaudRateTable::registerText(value));
    m_pLineEditRegister->setReadOnly(index != BaudRateTable::CustomRow);
}

void ChannalPageWidget::setBaudRate(const QString &hexDigits)
{
    m_pComboBoxBautRate->setCurrentIndex(BaudRateTable::rowFor(BaudRateTable::decodeHex(hexDigits)));
    m_pLineEditRegister->setText(QStringLiteral("0x") + hexDigits.toUpper());
}

void ChannalPageWidget::onPushButtonCalculator()
{
    // Window-modal and deleted on close: the slot returns at once, the value comes later.
    auto *dialog = new BitTimingDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        const QString value = dialog->chosenRegister();
        if (value.isEmpty())
            return;
        m_pComboBoxBautRate->setCurrentIndex(BaudRateTable::CustomRow);
        m_pLineEditRegister->setText(value);
    });
    dialog->open();
}

QString ChannalPageWidget::registerText() const { return m_pLineEditRegister->text(); }

DataListEntry ChannalPageWidget::entry(int row) const
{
    DataListEntry e;
    e.enabled = m_pTableWidgetDataList->item(row, ColEnabled)->checkState() == Qt::Checked;
    e.workMode = comboAt(row, ColWorkMode)->currentIndex();
    e.bitCount = comboAt(row, ColBitCount)->currentIndex();
    e.idText = m_pTableWidgetDataList->item(row, ColId)->text();
    e.maskText = m_pTableWidgetDataList->item(row, ColMask)->text();
    return e;
}

void ChannalPageWidget::setEntry(int row, const DataListEntry &e)
{
    m_pTableWidgetDataList->item(row, ColEnabled)->setCheckState(e.enabled ? Qt::Checked
                                                                           : Qt::Unchecked);
    comboAt(row, ColWorkMode)->setCurrentIndex(e.workMode);
    comboAt(row, ColBitCount)->setCurrentIndex(e.bitCount);
    m_pTableWidgetDataList->item(row, ColId)->setText(e.idText);
    m_pTableWidgetDataList->item(row, ColMask)->setText(e.maskText);
}

QVector<DataListEntry> ChannalPageWidget::entries() const
{
    QVector<DataListEntry> rows;
    for (int r = 0; r < FilterBankCount; ++r)
        rows.append(entry(r));
    return rows;
}

void ChannalPageWidget::setEntries(const QVector<DataListEntry> &entries)
{
    for (int r = 0; r < entries.size() && r < FilterBankCount; ++r)
        setEntry(r, entries.at(r));
}

QJsonObject ChannalPageWidget::toJson() const
{
    return ChannalObject::toJson(m_channalId, registerText(), entries());
}

void ChannalPageWidget::fromJson(const QJsonObject &object)
{
    QVector<DataListEntry> rows = entries();
    setBaudRate(ChannalObject::applyJson(object, &rows));
    setEntries(rows);
}

void ChannalPageWidget::resetDefaults()
{
    m_pComboBoxBautRate->setCurrentIndex(BaudRateTable::DefaultRow);
    // Also when row 9 was already selected, so a text given by setBaudRate is replaced.
    onCurrentIndexChangedComboBoxBautRate(BaudRateTable::DefaultRow);
    for (int r = 0; r < FilterBankCount; ++r)
        setEntry(r, DataListEntry());
    m_pTableWidgetDataList->item(0, ColEnabled)->setCheckState(Qt::Checked);
    TextFit::growColumnToContents(m_pTableWidgetDataList, ColWorkMode);
}

QString ChannalPageWidget::malformedTextMessage() const
{
    const QString channel = tr("通道") + QString::number(m_channalId);
    const QString fourBytes = tr("必须是4个字节(8位十六进制数)");
    if (registerBytes(registerText()).isEmpty())
        return channel + tr("寄存器") + fourBytes;
    for (int r = 0; r < FilterBankCount; ++r) {
        for (int c : {ColId, ColMask}) {
            if (registerBytes(m_pTableWidgetDataList->item(r, c)->text()).isEmpty())
                return channel + tr("第") + QString::number(r + 1) + tr("行")
                    + (c == ColId ? tr("ID寄存器") : tr("掩码寄存器")) + fourBytes;
        }
    }
    return QString();
}

void ChannalPageWidget::retranslate()
{
    setWindowTitle(tr("ChannalPageWidget"));
    m_pLabelBautRate->setText(tr("波特率："));
    m_pLabelBitTiming->retranslate();
    m_pPushButtonCalculator->setText(BitTimingDialog::openerText());
    if (m_pComboBoxBautRate->count() > BaudRateTable::CustomRow)
        m_pComboBoxBautRate->setItemText(BaudRateTable::CustomRow, tr("自定义"));
    const QStringList headers{QStringLiteral(" "), tr("工作模式"), tr("位数"), tr("ID寄存器"),
                              tr("掩码寄存器")};
    for (int c = 0; c < ColumnCount; ++c)
        m_pTableWidgetDataList->horizontalHeaderItem(c)->setText(headers.at(c));
    for (int r = 0; r < m_pTableWidgetDataList->rowCount(); ++r) {
        if (QComboBox *workMode = comboAt(r, ColWorkMode)) {
            workMode->setItemText(0, tr("掩码模式"));
            workMode->setItemText(1, tr("列表模式"));
        }
    }
    TextFit::growColumnToContents(m_pTableWidgetDataList, ColWorkMode);
}
