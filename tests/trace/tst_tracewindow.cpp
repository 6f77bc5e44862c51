// The trace window: the DBC file chosen through the dialog seam, a failure shown with the
// loader's reason, the file remembered and loaded again at start (quietly when it is
// gone), ticked signals becoming lines named with their unit, and the chart saved as PNG.

#include "support/RecordingDialogs.h"
#include "trace/SignalPlot.h"
#include "trace/TraceModel.h"
#include "trace/TraceWindow.h"

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtTest>

class TestTraceWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The user's settings go to a scratch directory.
        qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toUtf8());
        write("good.dbc", "BO_ 193 Engine: 8 ECU\n"
                          " SG_ Speed : 7|16@0+ (0.25,0) [0|0] \"rpm\" X\n"
                          " SG_ Temp : 16|8@1- (1,-40) [0|0] \"\" X\n");
        write("bad.dbc", "BO_ 193 Engine: 8 ECU\n SG_ S : 0|0@1+ (1,0) [0|0] \"\" X\n");
    }
    void loadAndRestore();
    void plotAndSave();

private:
    QString write(const char *name, const QByteArray &text)
    {
        QFile f(m_dir.filePath(QLatin1String(name)));
        if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
            qFatal("cannot write %s", name);
        return f.fileName();
    }
    QString label(TraceWindow &w)
    {
        return w.findChild<QLabel *>(QStringLiteral("m_pLabelDatabase"))->text();
    }
    QTemporaryDir m_dir;
    RecordingDialogs m_dialogs;
};

void TestTraceWindow::loadAndRestore()
{
    TraceWindow w;
    m_dialogs.fileAnswers = QStringList{m_dir.filePath("bad.dbc"), m_dir.filePath("good.dbc")};
    w.chooseDatabase();
    QCOMPARE(m_dialogs.boxes.size(), 1);
    QCOMPARE(m_dialogs.boxes[0].kind, Dialogs::Kind::Warning);
    QCOMPARE(m_dialogs.boxes[0].text,
             QStringLiteral("加载DBC文件bad.dbc失败：line 2: expected a length from 1 to 64"));
    QCOMPARE(label(w), QStringLiteral("未加载DBC数据库"));
    w.chooseDatabase();
    QCOMPARE(m_dialogs.fileFilters.last(), QStringLiteral("DBC文件(*.dbc)"));
    QCOMPARE(label(w), QStringLiteral("DBC数据库：good.dbc（1个报文，2个信号）"));

    TraceWindow next; // a later start
    next.restoreDatabase();
    QCOMPARE(label(next), QStringLiteral("DBC数据库：good.dbc（1个报文，2个信号）"));
    QVERIFY(QFile::rename(m_dir.filePath("good.dbc"), m_dir.filePath("moved.dbc")));
    TraceWindow after;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("good.dbc of the last run did not load"));
    after.restoreDatabase();
    QCOMPARE(label(after), QStringLiteral("未加载DBC数据库"));
    QCOMPARE(m_dialogs.boxes.size(), 1); // no box for it
    QVERIFY(QFile::rename(m_dir.filePath("moved.dbc"), m_dir.filePath("good.dbc")));
}

void TestTraceWindow::plotAndSave()
{
    TraceWindow w;
    QVERIFY(w.loadDatabase(m_dir.filePath("good.dbc")));
    w.show();
    const qint64 now = QDateTime::currentMSecsSinceEpoch() * 1000;
    LoggedFrame f;
    f.hostMicros = now - 1000000;
    f.record.id = 193;
    f.record.dlc = 3;
    f.record.data = QByteArray::fromHex("0C805A0000000000");
    w.addFrames({f});
    w.refresh();
    TraceModel *model = w.model();
    const QModelIndex engine = model->index(0, 0);
    for (int s = 0; s < 2; ++s)
        QVERIFY(model->setData(model->index(s, 0, engine), Qt::Checked, Qt::CheckStateRole));
    f.hostMicros = now - 500000;
    w.addFrames({f});
    w.refresh();
    const auto series = w.findChild<QtCharts::QChartView *>()->chart()->series();
    QCOMPARE(series.size(), 2);
    QCOMPARE(series[0]->name(), QStringLiteral("Speed [rpm]"));
    QCOMPARE(series[1]->name(), QStringLiteral("Temp"));
    QCOMPARE(static_cast<QtCharts::QLineSeries *>(series[0])->count(), 1);
    QCOMPARE(static_cast<QtCharts::QLineSeries *>(series[0])->at(0).y(), 800.0);

    // Paused, the lines stay as they were while values go on arriving.
    auto *pause = w.findChild<QPushButton *>(QStringLiteral("m_pPushButtonPause"));
    pause->click();
    f.hostMicros = now;
    w.addFrames({f});
    w.refresh();
    QCOMPARE(static_cast<QtCharts::QLineSeries *>(series[0])->count(), 1);

    auto *save = w.findChild<QPushButton *>(QStringLiteral("m_pPushButtonSavePng"));
    m_dialogs.boxes.clear();
    m_dialogs.fileAnswers = QStringList{m_dir.filePath("plot.png"), m_dir.filePath("no/such/dir/plot.png")};
    save->click();
    QVERIFY(!QImage(m_dir.filePath("plot.png")).isNull());
    save->click();
    QCOMPARE(m_dialogs.boxes.size(), 1);
    QVERIFY(m_dialogs.boxes[0].text.startsWith(QStringLiteral("保存图片失败：")));

    w.clear();
    QCOMPARE(model->rowCount(), 0);
    QCOMPARE(w.plot()->signalCount(), 0);
}

QTEST_MAIN(TestTraceWindow)
#include "tst_tracewindow.moc"
