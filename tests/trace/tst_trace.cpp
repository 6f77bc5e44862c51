// The trace window's plain logic: the message table (counts, cycle times, remote frames,
// multiplexed signals, clear, a database loaded late), the plot buffer's decimation, and
// the item model checked by QAbstractItemModelTester as frames arrive. Then the window:
// the DBC file chosen through the dialog seam, a failure shown with the loader's reason,
// the file remembered and loaded again at start (quietly when it is gone), ticked signals
// becoming lines named with their unit, pause, and the PNG save.

#include "dbc/DbcParser.h"
#include "support/RecordingDialogs.h"
#include "trace/PlotBuffer.h"
#include "trace/SignalPlot.h"
#include "trace/TraceModel.h"
#include "trace/TraceTable.h"
#include "trace/TraceWindow.h"

#include <QAbstractItemModelTester>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtTest>

namespace {
// Engine: Speed big-endian in bytes 0-1 x 0.25 rpm; Temp byte 2 signed - 40, no unit.
// Body: Mode the low nibble of byte 0 multiplexes Door (bit 8, a value table) and Light;
// it comes after them in the file.
const QByteArray Dbc = "BO_ 193 Engine: 8 ECU\n"
                       " SG_ Speed : 7|16@0+ (0.25,0) [0|0] \"rpm\" X\n"
                       " SG_ Temp : 16|8@1- (1,-40) [0|0] \"\" X\n"
                       "BO_ 1000 Body: 2 ECU\n"
                       " SG_ Door m0 : 8|1@1+ (1,0) [0|0] \"\" X\n"
                       " SG_ Light m1 : 8|8@1+ (1,0) [0|0] \"\" X\n"
                       " SG_ Mode M : 0|4@1+ (1,0) [0|0] \"\" X\n"
                       "VAL_ 1000 Door 0 \"closed\" 1 \"open\" ;\n";

// "channel id[x] ms data" with the data in hex, "r" for a remote frame, and an optional
// DLC after a slash ("0C1 ... 00/15").
LoggedFrame frame(const QString &text)
{
    const QStringList f = text.split(QLatin1Char(' ')), data = f[3].split(QLatin1Char('/'));
    LoggedFrame lf{f[2].toLongLong() * 1000, {}};
    MonitorRecord &r = lf.record;
    r.channel = f[0].toInt();
    r.extended = f[1].endsWith(QLatin1Char('x'));
    r.id = QString(f[1]).remove(QLatin1Char('x')).toUInt(nullptr, 16);
    r.remote = data[0] == QLatin1String("r");
    const QByteArray bytes = r.remote ? QByteArray() : QByteArray::fromHex(data[0].toLatin1());
    r.dlc = data.size() > 1 ? data[1].toInt() : bytes.size();
    r.data = bytes.leftJustified(8, '\0');
    return lf;
}

QString summary(const TraceRow &row)
{
    const auto ms = [](double v) { return v < 0 ? QStringLiteral("-") : QString::number(v, 'f', 1); };
    QString s = QStringLiteral("%1 %2%3 %4 n%5 %6/%7 dlc%8 %9")
                    .arg(row.channel).arg(row.id, 0, 16).arg(row.extended ? "x" : "")
                    .arg(row.message ? row.message->name : QStringLiteral("?")).arg(row.count)
                    .arg(ms(row.lastCycleMs()), ms(row.averageCycleMs())).arg(row.dlc)
                    .arg(QString::fromLatin1(row.data.toHex()));
    for (const DbcValue &v : row.values)
        s += QStringLiteral(" %1=%2%3").arg(v.signal->name).arg(v.physical)
                 .arg(v.text.isEmpty() ? QString() : QLatin1Char('[') + v.text + QLatin1Char(']'));
    return s;
}
} // namespace

class TestTrace : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", path("config").toUtf8()); // the user's settings
        const QByteArray bad = "BO_ 1 A: 8 X\n SG_ S : 0|0@1+ (1,0) [0|0] \"\" X\n";
        for (auto [name, text] : {std::pair{"good.dbc", Dbc}, std::pair{"bad.dbc", bad}}) {
            QFile f(path(name));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(text) == text.size());
        }
    }
    void table_data()
    {
        QTest::addColumn<QStringList>("frames");  // "clear" empties, "db" loads the database
        QTest::addColumn<QStringList>("rows");

        // Intervals 10, 20, 60 ms: their mean is 90 / 3 = 30 (a running mean of means gives 37.5).
        QTest::newRow("count and cycle times")
            << QStringList{"db", "0 C1 0 0C805A", "0 C1 10 0C805A", "0 C1 30 0C805A", "0 C1 90 0D005B"}
            << QStringList{"0 c1 Engine n4 60.0/30.0 dlc3 0d005b Speed=832 Temp=51"};
        QTest::newRow("a remote frame counts and keeps the last data")
            << QStringList{"db", "0 C1 0 0C805A", "0 C1 4 r/8"}
            << QStringList{"0 c1 Engine n2 4.0/4.0 dlc8 0c805a Speed=800 Temp=50"};
        QTest::newRow("multiplexed signals follow the multiplexer")
            << QStringList{"db", "0 3E8 0 01C8", "0 3E8 100 0001"}
            << QStringList{"0 3e8 Body n2 100.0/100.0 dlc2 0001 Door=1[open] Mode=0"};
        QTest::newRow("clear starts over")
            << QStringList{"db", "0 C1 0 0C80", "0 3E8 0 0001", "clear", "0 C1 50 0C84"}
            << QStringList{"0 c1 Engine n1 -/- dlc2 0c84 Speed=801"};
        QTest::newRow("a database loaded later names and decodes the rows")
            << QStringList{"0 C1 0 0C805A", "0 C1 10 0C805A", "db"}
            << QStringList{"0 c1 Engine n2 10.0/10.0 dlc3 0c805a Speed=800 Temp=50"};
    }

    void table()
    {
        QFETCH(QStringList, frames);
        DbcDatabase db;
        QVERIFY(loadDbc(Dbc, &db));
        TraceTable table;
        for (const QString &f : frames)
            f == "db" ? table.setDatabase(&db) : f == "clear" ? table.clear() : table.addFrame(frame(f));
        // Every row changed; told once (a second take is empty: model() checks that).
        QCOMPARE(table.takeDirtyRows().size(), table.rowCount());
        QStringList shown;
        for (int i = 0; i < table.rowCount(); ++i)
            shown << summary(table.row(i));
        QTEST(shown, "rows");
    }

    void tableIsBounded()
    {
        TraceTable table;
        QTest::ignoreMessage(QtWarningMsg, "Signal trace: 10000 rows; frames of further identifiers are not shown");
        for (quint32 id = 0; id < 10002; ++id)
            table.addFrame({0, {0, id, true}});
        table.addFrame({0, {0, 5, true}});
        QCOMPARE(table.rowCount(), 10000);
        QCOMPARE(table.row(5).count, 2);
        QCOMPARE(table.droppedFrames(), 2);
    }

    void decimation_data()
    {
        QTest::addColumn<QString>("values");  // "ms:value ..."
        QTest::addColumn<qint64>("nowMs");
        QTest::addColumn<QString>("points");  // "x s:y ..."

        QTest::newRow("one value per bucket") << "0:1 200:2 450:3" << qint64(450) << "-0.45:1 -0.25:2 0:3";
        // Bucket 0-199 ms: the dip (at 20) and the spike (at 50) survive, in time order.
        QTest::newRow("lowest and highest of a bucket")
            << "10:5 20:-3 30:5 50:100 60:5 90:5" << qint64(90) << "-0.07:-3 -0.04:100";
        QTest::newRow("older than a minute is gone") << "0:1 2000:2 61000:3" << qint64(61000) << "-59:2 0:3";
        QTest::newRow("a late value for a reused slot is dropped")
            << "61000:3 1000:7" << qint64(61000) << "0:3";
        QTest::newRow("not a number is dropped") << "0:nan 10:inf 20:2" << qint64(20) << "0:2";
    }

    void decimation()
    {
        QFETCH(QString, values);
        QFETCH(qint64, nowMs);
        PlotBuffer buffer;
        for (const QString &v : values.split(QLatin1Char(' ')))
            buffer.add(v.section(':', 0, 0).toLongLong() * 1000, v.section(':', 1).toDouble());
        QVector<QPointF> points;
        buffer.points(nowMs * 1000, &points);
        QStringList shown;
        for (const QPointF &p : qAsConst(points))
            shown << QStringLiteral("%1:%2").arg(p.x()).arg(p.y());
        QTEST(shown.join(QLatin1Char(' ')), "points");
    }

    void model()
    {
        DbcDatabase db;
        QVERIFY(loadDbc(Dbc, &db));
        TraceTable table;
        table.setDatabase(&db);
        TraceModel model(&table);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        // Column a and b of each row under `parent`. The top rows' order (channel, then
        // identifier, standard before extended) is the table rows' sorting order.
        const auto rows = [&model](const QModelIndex &parent, int a, int b) {
            QStringList out;
            for (int r = 0; r < model.rowCount(parent); ++r)
                out << model.index(r, a, parent).data().toString() + QLatin1Char(':')
                        + model.index(r, b, parent).data().toString();
            return out.join(QLatin1Char(' '));
        };

        for (const char *f : {"1 3E8 0 0001", "0 7A0 0 00", "refresh", "0 C1x 5 00", "0 C1 5 0C805A", "refresh"})
            qstrcmp(f, "refresh") ? table.addFrame(frame(QLatin1String(f))) : model.refresh();
        QCOMPARE(rows({}, TraceModel::Channel, TraceModel::Id), QStringLiteral("0:0C1 0:000000C1 0:7A0 1:3E8"));
        QCOMPARE(model.index(0, TraceModel::DataOrValue).data().toString(), QStringLiteral("0C 80 5A"));
        // Another multiplexer value replaces the signal rows; with nothing new, nothing is announced.
        table.addFrame(frame("1 3E8 20 01FF"));
        model.refresh();
        QCOMPARE(rows(model.index(3, 0), TraceModel::Name, TraceModel::DataOrValue), QStringLiteral("Light:255 Mode:1"));
        const int announced = changed.count();
        model.refresh();
        QCOMPARE(changed.count(), announced);
        QCOMPARE(resets.count(), 0);
        // Ticking a signal for its plot: plotAndSave.
    }

    void loadAndRestore()
    {
        TraceWindow w;
        m_dialogs.fileAnswers = QStringList{path("bad.dbc"), path("good.dbc")};
        w.chooseDatabase();
        QCOMPARE(m_dialogs.texts(), QStringList{"加载DBC文件bad.dbc失败：line 2: expected a length from 1 to 64"});
        QCOMPARE(label(w), QStringLiteral("未加载DBC数据库"));
        w.chooseDatabase();
        QCOMPARE(label(w), QStringLiteral("DBC数据库：good.dbc（2个报文，5个信号）"));
        // Loading the remembered file at the next start: gui_session_screens. The warning
        // below names the file remembered here.
        QVERIFY(QFile::rename(path("good.dbc"), path("moved.dbc")));
        TraceWindow gone;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("good.dbc of the last run did not load"));
        gone.restoreDatabase();
        QCOMPARE(label(gone), QStringLiteral("未加载DBC数据库"));
        QCOMPARE(m_dialogs.boxes.size(), 1); // no box for it
        QVERIFY(QFile::rename(path("moved.dbc"), path("good.dbc")));
    }

    void plotAndSave()
    {
        TraceWindow w;
        QVERIFY(w.loadDatabase(path("good.dbc")));
        w.show();
        const qint64 now = QDateTime::currentMSecsSinceEpoch() * 1000;
        LoggedFrame f{0, {0, 193, false, false, false, 0, 3, QByteArray::fromHex("0C805A0000000000")}};
        const auto feed = [&](qint64 at) { f.hostMicros = at; w.addFrames({f}); w.refresh(); };
        feed(now - 1000000);
        for (int s = 0; s < 2; ++s)
            QVERIFY(w.model()->setData(w.model()->index(s, 0, w.model()->index(0, 0)), Qt::Checked, Qt::CheckStateRole));
        feed(now - 500000);
        const auto series = w.findChild<QtCharts::QChartView *>()->chart()->series();
        QCOMPARE(series.size(), 2);
        QCOMPARE(series[0]->name() + series[1]->name(), QStringLiteral("Speed [rpm]Temp"));
        auto *speed = static_cast<QtCharts::QLineSeries *>(series[0]);
        QCOMPARE(speed->count(), 1); // x follows the clock
        QCOMPARE(speed->at(0).y(), 800.0);
        w.findChild<QPushButton *>("m_pPushButtonPause")->click();
        feed(now); // the lines stay as they were
        QCOMPARE(speed->count(), 1);

        m_dialogs.boxes.clear();
        m_dialogs.fileAnswers = QStringList{path("plot.png"), path("no/such/dir/plot.png")};
        auto *save = w.findChild<QPushButton *>("m_pPushButtonSavePng");
        save->click();
        QVERIFY(!QImage(path("plot.png")).isNull());
        save->click();
        QCOMPARE(m_dialogs.boxes.size(), 1);
        QVERIFY(m_dialogs.boxes[0].text.startsWith(QStringLiteral("保存图片失败：")));
        w.clear();
        QCOMPARE(w.model()->rowCount() + w.plot()->signalCount(), 0);
    }

private:
    QString path(const char *name) { return m_dir.filePath(QLatin1String(name)); }
    static QString label(TraceWindow &w) { return w.findChild<QLabel *>("m_pLabelDatabase")->text(); }
    QTemporaryDir m_dir;
    RecordingDialogs m_dialogs;

};

QTEST_MAIN(TestTrace)
#include "tst_trace.moc"
