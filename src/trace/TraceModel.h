#pragma once
// The trace table as an item model: one top-level row per message row of the table,
// sorted by channel and identifier, and under it the signals of its last data frame.
// refresh() (on the window's timer) announces only what changed since the last one: the
// rows that appeared, inserted in their sorted place, one dataChanged over the changed
// rows, and the signal rows that came or went with a multiplexer. QtCore only.
//
// Ticking a signal row (its check box in the first column) asks for that signal to be
// plotted: plotToggled() tells the window, which hands a plot buffer to the table.

#include <QAbstractItemModel>
#include <QSet>
#include <QVector>

class TraceTable;
struct DbcSignal;

class TraceModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Column {
        Name, Channel, Id, Count, Cycle, AverageCycle, Dlc, DataOrValue, Unit, Raw, ValueText,
        ColumnCount
    };

    explicit TraceModel(TraceTable *table, QObject *parent = nullptr);

    // Takes the rows the table changed since the last refresh and announces them.
    void refresh();
    // Starts over from the table as it is, after it was cleared or given another database;
    // every tick is dropped.
    void reset();
    void retranslate();

    // The table row of a message or signal index, -1 for none; the signal of a signal index.
    int tableRow(const QModelIndex &index) const;
    const DbcSignal *signalAt(const QModelIndex &index) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    void plotToggled(int tableRow, const DbcSignal *signal, bool on);

private:
    using Signals = QVector<const DbcSignal *>;
    Signals signalsOf(int tableRow) const;
    void insertNewRows();
    void updateChildren(int tableRow);
    QVariant messageData(int tableRow, int column, int role) const;
    QVariant signalData(int tableRow, const DbcSignal *signal, int column, int role) const;

    TraceTable *m_table;
    QVector<int> m_order;       // table rows in display order
    QVector<int> m_position;    // table row -> display position
    QVector<Signals> m_children; // table row -> the signal rows shown under it
    QSet<QPair<int, const DbcSignal *>> m_ticked;
};
