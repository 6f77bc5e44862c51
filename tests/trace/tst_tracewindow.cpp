// The trace window: the DBC file chosen through the dialog seam, a failure shown with the
// loader's reason, the file remembered and loaded again at start (quietly when it is
// gone), ticked signals becoming lines named with their unit, pause, and the PNG save.

#include "support/RecordingDialogs.h"
#include "trace/SignalPlot.h"
#include "trace/TraceModel.h"
#include "trace/TraceWindow.h"

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtTest>

class TestTraceWindow : public QObject {
    Q_OBJECT
private:
    QString path(const char *name) { return m_dir.filePath(QLatin1String(name)); }
    static QString label(TraceWindow &w) { return w.findChild<QLabel *>("m_pLabelDatabase")->text(); }
    QTemporaryDir m_dir;
    RecordingDialogs m_dialogs;

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", path("config").toUtf8()); // the user's settings
        const QByteArray bo = "BO_ 193 Engine: 8 ECU\n";
        for (auto [name, text] : {std::pair{"good.dbc", bo + " SG_ Speed : 7|16@0+ (0.25,0) [0|0] \"rpm\" X\n"
                                                           " SG_ Temp : 16|8@1- (1,-40) [0|0] \"\" X\n"},
                                  std::pair{"bad.dbc", bo + " SG_ S : 0|0@1+ (1,0) [0|0] \"\" X\n"}}) {
            QFile f(path(name));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(text) == text.size());
        }
    }

    void loadAndRestore()
    {
        const QString loaded = QStringLiteral("DBC数据库：good.dbc（1个报文，2个信号）");
        TraceWindow w;
        m_dialogs.fileAnswers = QStringList{path("bad.dbc"), path("good.dbc")};
        w.chooseDatabase();
        QCOMPARE(m_dialogs.texts(), QStringList{"加载DBC文件bad.dbc失败：line 2: expected a length from 1 to 64"});
        QCOMPARE(label(w), QStringLiteral("未加载DBC数据库"));
        w.chooseDatabase();
        QCOMPARE(label(w), loaded);

        TraceWindow next; // the next start
        next.restoreDatabase();
        QCOMPARE(label(next), loaded);
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
};

QTEST_MAIN(TestTraceWindow)
#include "tst_tracewindow.moc"
