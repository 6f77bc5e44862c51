#include "trace/TraceModel.h"

#include "trace/TraceTable.h"

#include <algorithm>

namespace {

QString idText(quint32 id, bool extended)
{
    return QStringLiteral("%1").arg(id, extended ? 8 : 3, 16, QLatin1Char('0')).toUpper();
}

QString hexBytes(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString milliseconds(double ms) { return ms < 0 ? QString() : QString::number(ms, 'f', 1); }

QString rawText(const DbcValue &v)
{
    if (v.signal->valueType != DbcSignal::ValueType::Integer)
        return QStringLiteral("0x") + QString::number(v.raw, 16).toUpper();
    return v.signal->isSigned ? QString::number(qint64(v.raw)) : QString::number(v.raw);
}

const DbcValue *valueOf(const TraceRow &row, const DbcSignal *signal)
{
    for (const DbcValue &v : row.values) {
        if (v.signal == signal)
            return &v;
    }
    return nullptr;
}

bool isNumeric(int column)
{
    switch (column) {
    case TraceModel::Count:
    case TraceModel::Cycle:
    case TraceModel::AverageCycle:
    case TraceModel::Dlc:
    case TraceModel::Raw:
        return true;
    default:
        return false;
    }
}

} // namespace

TraceModel::TraceModel(TraceTable *table, QObject *parent)
    : QAbstractItemModel(parent), m_table(table)
{
}

TraceModel::Signals TraceModel::signalsOf(int tableRow) const
{
    Signals list;
    for (const DbcValue &v : m_table->row(tableRow).values)
        list.append(v.signal);
    return list;
}

void TraceModel::insertNewRows()
{
    const int known = m_order.size();
    const int total = m_table->rowCount();
    m_position.resize(total);
    m_children.resize(total);
    const auto less = [this](int a, int b) { return m_table->row(a) < m_table->row(b); };
    for (int t = known; t < total; ++t) {
        const int at = int(std::lower_bound(m_order.begin(), m_order.end(), t, less) - m_order.begin());
        beginInsertRows(QModelIndex(), at, at);
        m_order.insert(at, t);
        for (int p = at; p < m_order.size(); ++p)
            m_position[m_order[p]] = p;
        m_children[t] = signalsOf(t);
        endInsertRows();
    }
}

void TraceModel::updateChildren(int tableRow)
{
    const Signals now = signalsOf(tableRow);
    Signals &shown = m_children[tableRow];
    const QModelIndex parent = index(m_position[tableRow], 0);
    if (now == shown) {
        if (!now.isEmpty())
            emit dataChanged(index(0, 0, parent), index(now.size() - 1, ColumnCount - 1, parent));
        return;
    }
    // Another multiplexer value: other signals. They are told apart by identity, so the
    // rows are replaced rather than changed.
    if (!shown.isEmpty()) {
        beginRemoveRows(parent, 0, shown.size() - 1);
        shown.clear();
        endRemoveRows();
    }
    if (!now.isEmpty()) {
        beginInsertRows(parent, 0, now.size() - 1);
        shown = now;
        endInsertRows();
    }
}

void TraceModel::refresh()
{
    const int known = m_order.size();
    const QVector<int> dirty = m_table->takeDirtyRows();
    insertNewRows();
    int first = -1, last = -1;
    for (int t : dirty) {
        if (t >= known)
            continue;  // inserted just now, as it is
        const int p = m_position[t];
        first = first < 0 ? p : qMin(first, p);
        last = qMax(last, p);
        updateChildren(t);
    }
    if (first >= 0)
        emit dataChanged(index(first, 0), index(last, ColumnCount - 1));
}

void TraceModel::reset()
{
    beginResetModel();
    m_order.clear();
    m_position.clear();
    m_children.clear();
    m_ticked.clear();
    m_table->takeDirtyRows();
    const int total = m_table->rowCount();
    m_position.resize(total);
    m_children.resize(total);
    for (int t = 0; t < total; ++t) {
        m_order.append(t);
        m_children[t] = signalsOf(t);
    }
    std::sort(m_order.begin(), m_order.end(),
              [this](int a, int b) { return m_table->row(a) < m_table->row(b); });
    for (int p = 0; p < total; ++p)
        m_position[m_order[p]] = p;
    endResetModel();
}

void TraceModel::retranslate() { emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1); }

int TraceModel::tableRow(const QModelIndex &index) const
{
    if (!index.isValid())
        return -1;
    return index.internalId() ? int(index.internalId() - 1) : m_order.value(index.row(), -1);
}

const DbcSignal *TraceModel::signalAt(const QModelIndex &index) const
{
    if (!index.isValid() || !index.internalId())
        return nullptr;
    return m_children.at(int(index.internalId() - 1)).value(index.row());
}

// Top-level indexes carry 0; signal indexes carry their table row + 1, which stays the same
// when rows are inserted above their message.
QModelIndex TraceModel::index(int row, int column, const QModelIndex &parent) const
{
    if (row < 0 || column < 0 || column >= ColumnCount)
        return QModelIndex();
    if (!parent.isValid())
        return row < m_order.size() ? createIndex(row, column, quintptr(0)) : QModelIndex();
    if (parent.internalId() || parent.column() != 0 || parent.row() >= m_order.size())
        return QModelIndex();
    const int t = m_order[parent.row()];
    return row < m_children[t].size() ? createIndex(row, column, quintptr(t + 1)) : QModelIndex();
}

QModelIndex TraceModel::parent(const QModelIndex &child) const
{
    if (!child.isValid() || !child.internalId())
        return QModelIndex();
    return createIndex(m_position[int(child.internalId() - 1)], 0, quintptr(0));
}

int TraceModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return m_order.size();
    if (parent.internalId() || parent.column() != 0)
        return 0;
    return m_children[m_order[parent.row()]].size();
}

int TraceModel::columnCount(const QModelIndex &) const { return ColumnCount; }

QVariant TraceModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    if (role == Qt::TextAlignmentRole)
        return isNumeric(index.column()) || (index.internalId() && index.column() == DataOrValue)
            ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    if (!index.internalId())
        return messageData(m_order[index.row()], index.column(), role);
    const int t = int(index.internalId() - 1);
    return signalData(t, m_children[t].at(index.row()), index.column(), role);
}

QVariant TraceModel::messageData(int tableRow, int column, int role) const
{
    const TraceRow &row = m_table->row(tableRow);
    if (role == Qt::ToolTipRole)
        return row.message && !row.message->comment.isEmpty() ? row.message->comment : QVariant();
    if (role != Qt::DisplayRole)
        return QVariant();
    switch (column) {
    case Name: return row.message ? row.message->name : QString();
    case Channel: return QString::number(row.channel);
    case Id: return idText(row.id, row.extended);
    case Count: return QString::number(row.count);
    case Cycle: return milliseconds(row.lastCycleMs());
    case AverageCycle: return milliseconds(row.averageCycleMs());
    case Dlc: return QString::number(row.dlc);
    case DataOrValue: return hexBytes(row.data);
    default: return QVariant();
    }
}

QVariant TraceModel::signalData(int tableRow, const DbcSignal *signal, int column, int role) const
{
    if (role == Qt::ToolTipRole)
        return signal->comment.isEmpty() ? QVariant() : signal->comment;
    if (role == Qt::CheckStateRole && column == Name)
        return m_ticked.contains({tableRow, signal}) ? Qt::Checked : Qt::Unchecked;
    if (role != Qt::DisplayRole)
        return QVariant();
    if (column == Name)
        return signal->name;
    if (column == Unit)
        return signal->unit;
    // Between refreshes a plotted row may already carry another multiplexer value.
    const DbcValue *v = valueOf(m_table->row(tableRow), signal);
    if (!v)
        return QVariant();
    switch (column) {
    case DataOrValue: return QString::number(v->physical, 'g', 10);
    case Raw: return rawText(*v);
    case ValueText: return v->text;
    default: return QVariant();
    }
}

bool TraceModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    const DbcSignal *signal = signalAt(index);
    if (!signal || role != Qt::CheckStateRole || index.column() != Name)
        return false;
    const int t = tableRow(index);
    const bool on = value.toInt() == Qt::Checked;
    if (on == m_ticked.contains({t, signal}))
        return true;
    if (on)
        m_ticked.insert({t, signal});
    else
        m_ticked.remove({t, signal});
    emit dataChanged(index, index, {Qt::CheckStateRole});
    emit plotToggled(t, signal, on);
    return true;
}

Qt::ItemFlags TraceModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.internalId()) {
        f |= Qt::ItemNeverHasChildren;
        if (index.column() == Name)
            f |= Qt::ItemIsUserCheckable;
    }
    return f;
}

QVariant TraceModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case Name: return tr("名称");
    case Channel: return tr("通道");
    case Id: return QStringLiteral("ID");
    case Count: return tr("次数");
    case Cycle: return tr("周期(ms)");
    case AverageCycle: return tr("平均周期(ms)");
    case Dlc: return QStringLiteral("DLC");
    case DataOrValue: return tr("数据/值");
    case Unit: return tr("单位");
    case Raw: return tr("原始值");
    case ValueText: return tr("值描述");
    default: return QVariant();
    }
}
