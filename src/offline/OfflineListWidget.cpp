#include "offline/OfflineListWidget.h"

#include "offline/OfflineRowText.h"
#include "widgets/Dialogs.h"
#include "widgets/TextFit.h"

#include <QAction>
#include <QComboBox>
#include <QCursor>
#include <QHeaderView>
#include <QMenu>
#include <QSet>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace {

enum Column { ChannalColumn, IntervalColumn, FormatColumn, TypeColumn, IdColumn, DataColumn,
              ColumnCount };

// A choice that names no item of its combo box keeps a new row's default.
void setChoice(QComboBox *combo, int index)
{
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : 0);
}

} // namespace

OfflineListWidget::OfflineListWidget(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("OfflineListWidget"));
    resize(583, 373);

    m_pTableWidgetOfflineData = new QTableWidget(0, ColumnCount, this);
    m_pTableWidgetOfflineData->setObjectName(QStringLiteral("m_pTableWidgetOfflineData"));
    QFont tableFont = m_pTableWidgetOfflineData->font();
    tableFont.setPointSize(9);
    m_pTableWidgetOfflineData->setFont(tableFont);
    m_pTableWidgetOfflineData->setColumnWidth(ChannalColumn, 70);
    m_pTableWidgetOfflineData->setColumnWidth(FormatColumn, 110);
    m_pTableWidgetOfflineData->setColumnWidth(TypeColumn, 120);
    m_pTableWidgetOfflineData->setColumnWidth(IdColumn, 110);
    m_pTableWidgetOfflineData->horizontalHeader()->setStretchLastSection(true);
    m_pTableWidgetOfflineData->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_pTableWidgetOfflineData->setContextMenuPolicy(Qt::CustomContextMenu);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pTableWidgetOfflineData);

    m_pMenu = new QMenu(this);
    m_pActionAdd = m_pMenu->addAction(QString());
    m_pActionAdd->setObjectName(QStringLiteral("m_pActionAdd"));
    m_pActionDelete = m_pMenu->addAction(QString());
    m_pActionDelete->setObjectName(QStringLiteral("m_pActionDelete"));

    connect(m_pTableWidgetOfflineData, &QWidget::customContextMenuRequested, this,
            &OfflineListWidget::onCustomContextMenuRequested);
    connect(m_pActionAdd, &QAction::triggered, this, &OfflineListWidget::onActionAdd);
    connect(m_pActionDelete, &QAction::triggered, this, &OfflineListWidget::onActionDelete);
    retranslate();
}

void OfflineListWidget::retranslate()
{
    setWindowTitle(tr("OfflineListWidget"));
    const QStringList headers = {tr("通道"), tr("定时间隔(100us)"), tr("帧格式"),
                                 tr("帧类型"), tr("帧 ID"), tr("帧数据")};
    m_pTableWidgetOfflineData->setHorizontalHeaderLabels(headers);
    for (int c = FormatColumn; c < ColumnCount; ++c) {
        if (QTableWidgetItem *item = m_pTableWidgetOfflineData->horizontalHeaderItem(c)) {
            QFont f = item->font();
            f.setPointSize(10);
            item->setFont(f);
        }
    }
    // The given widths are lower bounds: a language's longer header widens its column.
    for (int c = 0; c + 1 < ColumnCount; ++c)
        TextFit::growColumnToContents(m_pTableWidgetOfflineData, c);
    // setItemText keeps every combo box's current index.
    for (int r = 0; r < rowCount(); ++r) {
        if (QComboBox *format = comboAt(r, FormatColumn)) {
            format->setItemText(0, tr("数据帧"));
            format->setItemText(1, tr("远程帧"));
        }
        if (QComboBox *type = comboAt(r, TypeColumn)) {
            type->setItemText(0, tr("标准帧"));
            type->setItemText(1, tr("扩展帧"));
        }
    }
    m_pActionAdd->setText(tr("添加"));
    m_pActionDelete->setText(tr("删除"));
}

int OfflineListWidget::rowCount() const { return m_pTableWidgetOfflineData->rowCount(); }

QComboBox *OfflineListWidget::comboAt(int row, int column) const
{
    return qobject_cast<QComboBox *>(m_pTableWidgetOfflineData->cellWidget(row, column));
}

void OfflineListWidget::insertDefaultRow(int index)
{
    QTableWidget *table = m_pTableWidgetOfflineData;
    table->insertRow(index);

    auto *channal = new QComboBox;
    for (int i = 0; i < m_nChannalCount; ++i)
        channal->addItem(QString::number(i));
    auto *format = new QComboBox;
    format->addItems({tr("数据帧"), tr("远程帧")});
    auto *type = new QComboBox;
    type->addItems({tr("标准帧"), tr("扩展帧")});

    const OfflineFrameRow defaults;
    table->setCellWidget(index, ChannalColumn, channal);
    table->setItem(index, IntervalColumn, new QTableWidgetItem(defaults.interval));
    table->setCellWidget(index, FormatColumn, format);
    table->setCellWidget(index, TypeColumn, type);
    table->setItem(index, IdColumn, new QTableWidgetItem(defaults.id));
    table->setItem(index, DataColumn, new QTableWidgetItem(defaults.data));
}

OfflineFrameRow OfflineListWidget::row(int index) const
{
    const auto text = [this, index](int column) {
        const QTableWidgetItem *item = m_pTableWidgetOfflineData->item(index, column);
        return item ? item->text() : QString();
    };
    const auto choice = [this, index](int column) {
        const QComboBox *combo = comboAt(index, column);
        return combo ? combo->currentIndex() : 0;
    };
    OfflineFrameRow r;
    r.channal = choice(ChannalColumn);
    r.interval = text(IntervalColumn);
    r.remote = choice(FormatColumn);
    r.extended = choice(TypeColumn);
    r.id = text(IdColumn);
    r.data = text(DataColumn);
    return r;
}

// Fills an existing row in place: its combo boxes stay, only indexes and texts change.
void OfflineListWidget::setRow(int index, const OfflineFrameRow &r)
{
    QTableWidget *table = m_pTableWidgetOfflineData;
    setChoice(comboAt(index, ChannalColumn), r.channal);
    table->item(index, IntervalColumn)->setText(r.interval);
    setChoice(comboAt(index, FormatColumn), r.remote);
    setChoice(comboAt(index, TypeColumn), r.extended);
    table->item(index, IdColumn)->setText(r.id);
    table->item(index, DataColumn)->setText(r.data);
}

void OfflineListWidget::removeAllRows()
{
    for (int r = rowCount() - 1; r >= 0; --r)
        m_pTableWidgetOfflineData->removeRow(r);
}

void OfflineListWidget::initList(int channalCount, int capacity, int rowCount)
{
    m_nChannalCount = channalCount;
    m_nCapacity = capacity;
    removeAllRows();
    for (int r = 0; r < rowCount; ++r)
        insertDefaultRow(r);
}

void OfflineListWidget::clearList() { removeAllRows(); }

bool OfflineListWidget::toRecords(QVector<QByteArray> &records)
{
    records.clear();
    const int count = rowCount();
    for (int r = 0; r < count; ++r) {
        const OfflineEncodeResult result = encodeOfflineRow(row(r), r, count);
        if (!result.ok()) {
            Dialogs::information(this, tr("提示"), offlineRowMessage(result.error));
            m_pTableWidgetOfflineData->selectRow(r);
            records.clear();
            return false;
        }
        records.append(result.record);
    }
    return true;
}

void OfflineListWidget::fromRecords(const QVector<QByteArray> &records)
{
    while (rowCount() > records.size())
        m_pTableWidgetOfflineData->removeRow(rowCount() - 1);
    while (rowCount() < records.size())
        insertDefaultRow(rowCount());
    for (int r = 0; r < records.size(); ++r)
        setRow(r, decodeOfflineRecord(records.at(r)));
}

QJsonArray OfflineListWidget::toJson() const
{
    QJsonArray rows;
    for (int r = 0; r < rowCount(); ++r)
        rows.append(offlineRowToStored(row(r)));
    return rows;
}

void OfflineListWidget::fromJson(const QJsonArray &rows)
{
    removeAllRows();
    for (int r = 0; r < rows.size(); ++r) {
        insertDefaultRow(r);
        setRow(r, offlineRowFromStored(rows.at(r)));
    }
}

void OfflineListWidget::onCustomContextMenuRequested(const QPoint &)
{
    // Where the cursor is now, not where the request says.
    m_pMenu->exec(QCursor::pos());
}

void OfflineListWidget::showCapacityMessage()
{
    Dialogs::information(this, tr("提示"),
                         tr("最多支持") + QString::number(m_nCapacity) + tr("条数据"));
}

bool OfflineListWidget::withinCapacity()
{
    if (rowCount() <= m_nCapacity)
        return true;
    showCapacityMessage();
    return false;
}

void OfflineListWidget::onActionAdd()
{
    if (rowCount() >= m_nCapacity) {
        showCapacityMessage();
        return;
    }
    insertDefaultRow(rowCount());
}

void OfflineListWidget::onActionDelete()
{
    QSet<int> selected;
    for (const QTableWidgetItem *item : m_pTableWidgetOfflineData->selectedItems())
        selected.insert(item->row());
    QList<int> rows = selected.values();
    // Highest first, so removing one row does not shift those still to go.
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    for (int r : qAsConst(rows))
        m_pTableWidgetOfflineData->removeRow(r);
}
