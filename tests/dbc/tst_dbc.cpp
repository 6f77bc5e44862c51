// DBC databases: hand-worked frames decoded signal by signal, malformed files refused
// with their line, and a realistic file with the sections that are read past.

#include "dbc/DbcDecoder.h"
#include "dbc/DbcParser.h"
#include "dbc/DbcText.h"

#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

namespace {
// A signal line: `layout` is "start|length@order sign (factor,offset)".
QByteArray sg(const char *layout, const char *name = "S")
{
    return QByteArray(" SG_ ") + name + " : " + layout + " [0|0] \"\" X\n";
}
} // namespace

class TestDbc : public QObject {
    Q_OBJECT
private slots:
    void decode_data()
    {
        QTest::addColumn<QByteArray>("lines");  // after "BO_ 291 M: 8 X"; the signal under test is S
        QTest::addColumn<QByteArray>("data");   // hex, DLC bytes; the record's other bytes are FF
        QTest::addColumn<QString>("shown");     // "raw physical[ text]"; "-": S is not decoded

        // Bits 3-14: 5B = 0101 1011 gives bits 7-3 = 01011 (low), C6 = 1100 0110 gives bits
        // 6-0 = 1000110 (high): 1000110 01011 = 0x8CB.
        QTest::newRow("little-endian across bytes from bit 3") << sg("3|12@1+ (1,0)") << QByteArray("5bc6") << "2251 2251";
        // Byte 0 bits 2-0 = 101, byte 1 = 00111100, byte 2 bits 7-2 = 100000: 0x14F20.
        QTest::newRow("big-endian over three bytes") << sg("2|17@0+ (1,0)") << QByteArray("a53c81") << "85792 85792";
        // Byte 1 bits 5-0 = 101011, byte 2 bits 7-4 = 1001: 0x2B9 = 697 - 1024 = -327;
        // -327 x 0.5 + 10 = -153.5.
        QTest::newRow("big-endian signed, factor, offset") << sg("13|10@0- (0.5,10)") << QByteArray("002b9f") << "-327 -153.5";
        // Little-endian signed: check_input.py's Temp = -66.
        // Unsigned: 2^64 - 1 is the double 2^64, written whole; raw shows its bits as signed.
        QTest::newRow("64-bit unsigned, 2^64 past 2^63")
            << sg("0|64@1+ (1,0)") << QByteArray("ffffffffffffffff") << "-1 18446744073709551616";
        // Integer signals print 15 digits (3 x 0.1 as 0.3: check_input.py), doubles all 17.
        QTest::newRow("IEEE double, all digits")
            << sg("0|64@1- (1,0)") + "SIG_VALTYPE_ 291 S : 2;" << QByteArray("343333333333d33f")
            << "4599075939470750516 0.30000000000000004";
        QTest::newRow("negative zero") << sg("0|8@1+ (-1,-0)") << QByteArray("00") << "0 0";
        QTest::newRow("64-bit big-endian signed") << sg("7|64@0- (1,0)") << QByteArray("fffffffffffffffe") << "-2 -2";
        // Bits 12-19 reach byte 2. (A signal ending on the frame's last byte is decoded in
        // check_input.py.)
        QTest::newRow("beyond a 2-byte frame") << sg("12|8@1+ (1,0)") << QByteArray("00f0") << "-";
        QTest::newRow("big-endian beyond a 1-byte frame") << sg("7|16@0+ (1,0)") << QByteArray("12") << "-";
        // Value tables, and a multiplexer that differs, are in check_input.py's JSON lines.
        // A multiplexer after its signals in the file, matching: tst_trace's Body.
        QTest::newRow("multiplexer beyond the frame") << sg("0|4@1+ (1,0)", "S m0") + sg("8|8@1+ (1,0)", "Mux M")
                                                      << QByteArray("00") << "-";
        // BFC00000 is -1.5 as an IEEE single: -1.5 x 2 + 1.
        QTest::newRow("IEEE single") << sg("0|32@1- (2,1)") + "SIG_VALTYPE_ 291 S : 1;" << QByteArray("0000c0bf")
                                     << "3217031168 -2";
    }

    void decode()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QByteArray, data);
        DbcDatabase db;
        QVERIFY(loadDbc("BO_ 291 M: 8 X\n" + lines, &db));
        const QByteArray bytes = QByteArray::fromHex(data);
        const MonitorRecord frame{0, 291, false, false, false, 0, bytes.size(), bytes.leftJustified(8, '\xff')};
        QVector<DbcValue> values;
        QVERIFY(decodeDbcFrame(db, frame, &values));
        QString shown = QStringLiteral("-");
        for (const DbcValue &v : qAsConst(values)) {
            char physical[DbcNumberTextSize];
            if (v.signal->name == "S")
                shown = QStringLiteral("%1 %2").arg(qint64(v.raw))
                            .arg(QString::fromLatin1(physical, dbcNumberText(v, physical)))
                        + (v.text.isEmpty() ? QString() : QLatin1Char(' ') + v.text);
        }
        QTEST(shown, "shown");
    }

    void refuse_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("error");

        const QByteArray bo("BO_ 1 A: 8 X\n");
        QTest::newRow("signal outside a message") << "VERSION \"\"\n\n" + sg("0|8@1+ (1,0)")
                                                  << "line 3: expected BO_ before SG_";
        // A length of 0 is refused in tst_trace (the window's load).
        QTest::newRow("mN without M") << bo + sg("8|8@1+ (1,0)", "S m1") + sg("8|8@1+ (1,0)", "T m2")
                                      << "line 2: expected a multiplexer (M) in message A";
        QTest::newRow("mNM") << bo + sg("0|8@1+ (1,0)", "S m1M")
                             << "line 2: expected M or mN (mNM, a multiplexed multiplexer, is not supported)";
        QTest::newRow("standard identifier above 0x7FF")
            << QByteArray("BO_ 2048 A: 8 X\n")
            << "line 1: expected a standard identifier up to 2047 (bit 31 marks an extended one)";
        QTest::newRow("string not closed") << bo + "CM_ BO_ 1 \"first\nsecond;\n"
                                           << "line 2: expected \" to close the string";
        QTest::newRow("read-past section without ;")
            << "BA_DEF_ BO_ \"Cycle;Time\" INT 0 65535\n" + bo + "BA_ \"Cycle\" BO_ 1 10;\n"
            << "line 1: expected \";\" to end BA_DEF_";
        QTest::newRow("IEEE single on 16 bits") << bo + sg("0|16@1+ (1,0)") + "SIG_VALTYPE_ 1 S : 1;"
                                                << "line 3: expected a 32-bit signal for value type 1";
    }

    void refuse()
    {
        QFETCH(QByteArray, file);

        DbcDatabase db;
        QVERIFY(loadDbc("BO_ 5 Kept: 1 X\n", &db));
        QString message;
        QVERIFY(!loadDbc(file, &db, &message));
        QTEST(message, "error");
        QCOMPARE(db.messages().size(), 1);
        QCOMPARE(db.messages().at(0).name, QString("Kept"));
    }

    void realisticFile(); // after the class: moc does not read its raw string
};

// The sections a real file carries are read past (VERSION, BS_ and BU_ with entries:
// sample.dbc in check_input.py); a Latin-1 file is read too.
void TestDbc::realisticFile()
{
    // 2566844926 = 0x98FEF1FE: bit 31 marks the extended identifier 0x18FEF1FE.
    const QString text = QString::fromUtf8(R"(NS_ :
	NS_DESC_
VAL_TABLE_ OnOff 1 "On" 0 "Off" ;
BO_ 256 EngineData: 8 Engine
 SG_ EngineSpeed : 7|16@0+ (0.25,0) [0|16383.75] "rpm" Gateway,Dash
 SG_ CoolantTemp : 16|8@1+ (1,-40) [-40|215] "°C" Dash
BO_ 2566844926 Aux: 8 Gateway
 SG_ Lamp : 0|2@1+ (1,0) [0|3] "" Dash
BO_TX_BU_ 256 : Engine,Gateway;
EV_ EnvTemp: 0 [0|100] "" 0 1 DUMMY_NODE_VECTOR0 Vector__XXX;
CM_ BO_ 256 "Every 10 ms;
the \"main\" message";
CM_ SG_ 999 Nothing "of no message";
BA_DEF_ BO_ "GenMsgCycleTime" INT 0 65535;
BA_ "GenMsgCycleTime" BO_ 256 10;
VAL_ 2566844926 Lamp 0 "Off" 1 "On" 2 "Fault" ;
VAL_ 256 Missing 0 "x" ;
SIG_GROUP_ 256 Group 1 : EngineSpeed CoolantTemp;
)");
    QTemporaryDir dir;
    for (const char *codec : {"UTF-8", "ISO-8859-1"}) {
        QFile file(dir.filePath(codec));
        const QByteArray bytes = QTextCodec::codecForName(codec)->fromUnicode(text);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        DbcDatabase db;
        QVERIFY(loadDbcFile(file.fileName(), &db));
        QCOMPARE(db.messages().size(), 2);
        QCOMPARE(db.message(256, false)->comment, QString("Every 10 ms;\nthe \"main\" message"));
        QCOMPARE(db.message(256, false)->signalList.at(1).unit, QString("°C"));
        // The identifier matches only with its width.
        MonitorRecord frame{0, 0x18FEF1FE, false, false, false, 0, 1, QByteArray::fromHex("02")};
        QVector<DbcValue> values;
        QVERIFY(!decodeDbcFrame(db, frame, &values));
        frame.extended = true;
        QVERIFY(decodeDbcFrame(db, frame, &values));
        QCOMPARE(values.at(0).text, QString("Fault"));
    }
}

QTEST_MAIN(TestDbc)
#include "tst_dbc.moc"
