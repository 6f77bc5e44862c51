#include "offline/OfflineListWidget.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
constexpr int ColumnCount = 6;
}

OfflineListWidget::OfflineListWidget(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("OfflineListWidget"));
    resize(583, 373);

    m_pTableWidgetOfflineData = new QTableWidget(0, ColumnCount, this);
    m_pTableWidgetOfflineData->setObjectName(QStringLiteral("m_pTableWidgetOfflineData"));
    QFont tableFont = m_pTableWidgetOfflineData->font();
    tableFont.setPointSize(9);
    m_pTableWidgetOfflineData->setFont(tableFont);
    m_pTableWidgetOfflineData->setColumnWidth(0, 70);
    m_pTableWidgetOfflineData->setColumnWidth(2, 110);
    m_pTableWidgetOfflineData->setColumnWidth(3, 120);
    m_pTableWidgetOfflineData->setColumnWidth(4, 110);
    m_pTableWidgetOfflineData->horizontalHeader()->setStretchLastSection(true);
    m_pTableWidgetOfflineData->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_pTableWidgetOfflineData->setContextMenuPolicy(Qt::CustomContextMenu);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pTableWidgetOfflineData);
    retranslate();
}

void OfflineListWidget::retranslate()
{
    const QStringList headers = {tr("通道"), tr("定时间隔(100us)"), tr("帧格式"),
                                 tr("帧类型"), tr("帧 ID"), tr("帧数据")};
    m_pTableWidgetOfflineData->setHorizontalHeaderLabels(headers);
    for (int c = 2; c < ColumnCount; ++c) {
        if (QTableWidgetItem *item = m_pTableWidgetOfflineData->horizontalHeaderItem(c)) {
            QFont f = item->font();
            f.setPointSize(10);
            item->setFont(f);
        }
    }
}

// Interface fixed for the callers; the editor itself is being built.
void OfflineListWidget::initList(int channalCount, int capacity, int rowCount)
{
    m_nChannalCount = channalCount;
    m_nCapacity = capacity;
    m_pTableWidgetOfflineData->setRowCount(rowCount);
}
void OfflineListWidget::clearList() { m_pTableWidgetOfflineData->setRowCount(0); }
bool OfflineListWidget::toRecords(QVector<QByteArray> &records)
{
    records.clear();
    return true;
}
void OfflineListWidget::fromRecords(const QVector<QByteArray> &records)
{
    m_pTableWidgetOfflineData->setRowCount(records.size());
}
QJsonArray OfflineListWidget::toJson() const { return QJsonArray(); }
void OfflineListWidget::fromJson(const QJsonArray &) {}
