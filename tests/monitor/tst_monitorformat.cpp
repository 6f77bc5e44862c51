// Frame reports to monitor lines: the exact line layout, transfers to cache entries,
// the filter, the running number and the cache bound. The column header is pinned by
// tst_mainwidget's language switch.

#include "device/SimFirmware.h"
#include "filter/FilterText.h"
#include "monitor/MonitorSession.h"

#include <QtTest>

#include <ctime>

namespace {

QByteArray report(uint32_t stamp, bool extended, bool remote, int channel, uint32_t id,
                  bool sent, const SimFirmware::Bytes &data)
{
    const auto r = SimFirmware::frameReport(stamp, extended, remote, channel, id, sent, data);
    return QByteArray(reinterpret_cast<const char *>(r.data()), int(r.size()));
}

// A record with every field given as the adapter sends it (DLC bits in the flags byte).
QByteArray record(uint8_t flags, uint32_t idAndDirection, const QByteArray &data8)
{
    QByteArray r = report(0x0A0B0C0D, false, false, 0, 0, false, {});
    r[6] = char(flags);
    for (int i = 0; i < 4; ++i)
        r[7 + i] = char(idAndDirection >> (8 * i));
    return r.replace(11, 8, data8.leftJustified(8, '\0', true));
}

const MonitorNames Chinese{{"数据帧", "远程帧"}, {"标准帧", "扩展帧"}, {"接收", "发送"}};

// What the files of one session hold: transfers with their arrival times (ms), and a
// switch of the display format where a transfer is empty (its time is the new format).
QVector<QPair<qint64, QByteArray>> scriptedSession()
{
    const qint64 t0 = 1765000000123;
    return {
        {t0, report(0x1234, false, false, 0, 0x123, false, {1, 2, 3, 4, 5, 6, 7, 8})
                 + report(0x89ABCDEF, true, false, 1, 0x18FEF100, true, {'C', 'A', 0x0A})
                 + record(0x40 | 0x05, 0x555, "\x01\x02\x03\x04\x05\x06\x07\x08")},
        {t0 + 7, record(0x0C, 0x100, QByteArray("\xA1\x7F\xE9\x00" "ABCD", 8))},
        {t0 + 8, QByteArray(20, '\x01')}, // not whole records: dropped
        {DisplayAsc, QByteArray()},
        {t0 + 1000, record(0xC0 | 0x10 | 0x04, 0x81ABCDEF, {})
                        + record(0x10 | 0x04, 0x7FF, QByteArray("AB\x00\xA5", 4))
                        + record(0x02, 0x350, "12")},
        {t0 + 1500, record(0x02, 0x300, "\xFF\xFE") + record(0x40, 0x3FF, {})
                        + record(0x10 | 0x01, 0x80000301, "z")},
        {DisplayHex, QByteArray()},
        {t0 + 3600000 + 2, record(0x10 | 0x01, 0x301, "y") + record(0x10, 0x001, {})
                               + record(0xC0 | 0x0F, 0x80010000, {})},
    };
}

} // namespace

class TestMonitorFormat : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        qRegisterMetaType<QVector<ReceivedFrame>>();
        // ASC headers carry the local date.
        qputenv("TZ", "UTC");
        tzset();
    }

    // The layout of plain and remote lines is pinned by the golden files below. ASC shows
    // control codes as dots and ends with a blank; a ten-digit number keeps its first nine.
    void line()
    {
        const QByteArray bytes =
            report(0xFFFFFFFF, true, false, 1, 0x18FEF100, true, {'C', 'A', 'N', 0x0A});
        const MonitorRecord r = decodeMonitorRecord(bytes.constData());
        QCOMPARE(formatMonitorLine(1234567890, r, Chinese, 1),
                 "123456789 发送      1    0xffffffff   数据帧  扩展帧   18 fe f1 00   4   C A N . ");
    }

    void transfer_data()
    {
        QTest::addColumn<QByteArray>("transfer");
        QTest::addColumn<int>("filterMode");
        QTest::addColumn<QString>("range");  // rows as typed in the filter dialog, joined by "|"
        QTest::addColumn<QString>("readers"); // per record its id, "+" where the filter passed it
        QTest::addColumn<QString>("cached");  // the new cache entry: its first number and ids

        // A torn transfer is in the golden files below. Modes: 0 off, 1 hide, 2 show only.
        const QByteArray three = report(1, false, false, 0, 0xFF, false, {1})
            + report(2, false, false, 0, 0x100, false, {2})
            + report(3, false, false, 0, 0x200, false, {3});
        const QString all = "ff+ 100+ 200+", none = "ff 100 200";
        QTest::newRow("57 bytes, off: listed ids shown") << three << 0 << "100,1FF" << all
            << "2: ff 100 200";
        QTest::newRow("no mode selected") << three << -1 << "100,1FF" << all << "2: ff 100 200";
        QTest::newRow("hide, none listed") << three << 1 << "" << all << "2: ff 100 200";
        QTest::newRow("hide 100-1FF") << three << 1 << "100,1FF" << "ff+ 100 200+" << "2: ff 200";
        QTest::newRow("show only, none listed") << three << 2 << "" << none << "";
        QTest::newRow("show only 100-1FF") << three << 2 << "100,1FF" << "ff 100+ 200" << "2: 100";
        QTest::newRow("show only, both ends") << three << 2 << "FF,100" << "ff+ 100+ 200"
            << "2: ff 100";
        QTest::newRow("show only, second range")
            << three << 2 << "1,2|0x0x200,3ff" << "ff 100 200+" << "2: 200";
        QTest::newRow("low above high holds nothing") << three << 2 << "200,100" << none << "";
        QTest::newRow("bound beyond a signed int reads as 0")
            << three << 2 << "FFFFFFFF,FF" << "ff+ 100 200" << "2: ff";
    }

    // One transfer gives one cache entry holding the records the filter passed, or nothing
    // at all; a hidden record takes no number. Readers get every record with the filter's
    // verdict. The transfer comes after one that numbered line 1, and after a language
    // switch that renames only the lines of transfers that arrive afterwards.
    void transfer()
    {
        QFETCH(QByteArray, transfer);
        QFETCH(int, filterMode);
        QFETCH(QString, range);
        MonitorSession session(nullptr);
        session.setNames(Chinese);
        session.addTransfers({{report(0, false, false, 0, 0x300, false, {}), 1000}});
        MonitorNames english = Chinese;
        english.direction[0] = QStringLiteral("Rec");
        session.setNames(english);
        QVector<FilterRowText> rows;
        for (const QString &row : range.split(QLatin1Char('|'), Qt::SkipEmptyParts))
            rows << splitFilterRow(row);
        session.setIdFilter(filterFromRows(filterMode, rows));
        QSignalSpy readers(&session, &MonitorSession::framesReceived);
        session.addTransfers({{transfer, 2000}});

        QStringList seen;
        for (const QList<QVariant> &args : qAsConst(readers)) {
            for (const ReceivedFrame &f : args.at(0).value<QVector<ReceivedFrame>>())
                seen << QString::number(f.frame.record.id, 16) + (f.passedFilter ? "+" : "");
        }
        QTEST(seen.join(' '), "readers");
        const MonitorLog &log = session.log();
        QString cached;
        if (log.cache().size() > 1) {
            cached = QString::number(log.cache().last().firstNumber) + ':';
            for (const auto &r : log.cache().last().records)
                cached += ' ' + QString::number(r.record().id, 16);
        }
        QTEST(cached, "cached");
        QCOMPARE(log.runningNumber(), 1 + cached.count(' '));
        // The statistics count what was shown and what the filter hid.
        QCOMPARE(session.statistics().shownFrames(), log.runningNumber());
        QCOMPARE(session.statistics().filteredFrames(), qint64(3) - cached.count(' '));
        QCOMPARE(log.cache().first().line(0).mid(10, 2), QStringLiteral("接收"));
        if (!cached.isEmpty())
            QCOMPARE(log.cache().last().line(0).mid(10, 3), QStringLiteral("Rec"));
    }

    // Across many chunks the oldest go first, and a copy taken for a save stays as it was
    // while the log goes on.
    void cacheDropsOldestFirst()
    {
        MonitorLog log;
        const CachedRecords one{CachedRecord()};
        log.setCacheSize(3000);
        for (int i = 0; i < 5000; ++i)
            log.add(one, 0);
        const TransferCache copy = log.cache();
        for (int i = 0; i < 2500; ++i)
            log.add(one, 0);
        QCOMPARE(copy.size() + log.cache().size(), 6000);
        for (int i = 0; i < 3000; ++i) {
            QCOMPARE(copy.at(i).firstNumber, qint64(2001 + i));
            QCOMPARE(log.cache().at(i).firstNumber, qint64(4501 + i));
        }
        // A new size empties the cache and leaves the number; no size below one.
        log.setCacheSize(0);
        QVERIFY(log.cache().isEmpty());
        QCOMPARE(log.runningNumber(), 7500);
        log.add(one, 0);
        log.add(one, 0);
        QCOMPARE(log.cache().size(), 1);
        QCOMPARE(log.cache().at(0).firstNumber, qint64(7502));
    }

    void savedFiles_data()
    {
        QTest::addColumn<int>("format");
        for (const char *name : {"all", "filtered"}) {
            QTest::newRow(qPrintable(name + QString(".txt"))) << int(MonitorSaveFormat::Text);
            QTest::newRow(qPrintable(name + QString(".log"))) << int(MonitorSaveFormat::CandumpLog);
            QTest::newRow(qPrintable(name + QString(".asc"))) << int(MonitorSaveFormat::Asc);
        }
    }

    // The scripted session saved in each format, with and without a filter that hides
    // 0x300 to 0x3FF, gives the committed files byte for byte.
    void savedFiles()
    {
        QFETCH(int, format);
        const QString file = QString::fromLatin1(QTest::currentDataTag());
        MonitorSession session(nullptr);
        session.setNames(Chinese);
        if (file.startsWith(QLatin1String("filtered")))
            session.setIdFilter({IdFilter::HideListed, {{0x300, 0x3FF}}});
        for (const auto &[t, bytes] : scriptedSession())
            bytes.isEmpty() ? session.setDisplayMode(int(t)) : session.addTransfers({{bytes, t}});
        QCOMPARE(session.statistics().malformedTransfers(), qint64(1)); // the torn transfer
        QTemporaryDir dir;
        QSignalSpy finished(&session, &MonitorSession::saveFinished);
        session.save(dir.filePath(file), MonitorSaveFormat(format));
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 10000);
        QCOMPARE(finished.at(0).at(0).toBool(), true);
        QFile saved(dir.filePath(file)), golden(QStringLiteral(BRANTEL_GOLDEN_DIR "/") + file);
        QVERIFY(saved.open(QIODevice::ReadOnly) && golden.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), golden.readAll());
    }
};

QTEST_GUILESS_MAIN(TestMonitorFormat)
#include "tst_monitorformat.moc"
