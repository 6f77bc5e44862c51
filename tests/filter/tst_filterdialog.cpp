// The identifier filter dialog driven as the user drives it, and the filter file through
// its buttons.

#include "filter/FilterDialog.h"
#include "support/Child.h"
#include "support/RecordingDialogs.h"
#include "widgets/BrantelResources.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// The table as "low,high" rows joined by "|", with ",del" where a row shows a delete icon.
QString tableText(QWidget *dialog)
{
    auto *table = child<QTableWidget>(dialog, "m_tableWidgetCondition");
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        auto text = [&](int c) { return table->item(r, c) ? table->item(r, c)->text() : ""; };
        const bool del = table->item(r, 3) && !table->item(r, 3)->icon().isNull();
        rows << text(0) + ',' + text(1) + (del ? ",del" : "");
    }
    return rows.join('|');
}

QString rangesText(const IdFilter &filter)
{
    QStringList out;
    for (const IdRange &r : filter.ranges)
        out << QString::number(r.low, 16) + '-' + QString::number(r.high, 16);
    return QString::number(filter.mode) + ':' + out.join(' ');
}

// User steps joined by ";": "mode N", "add LOW HIGH", "click ROW COLUMN", "clear".
void run(QWidget *dialog, const QString &steps)
{
    auto *table = child<QTableWidget>(dialog, "m_tableWidgetCondition");
    for (const QString &step : steps.split(';', Qt::SkipEmptyParts)) {
        const QStringList w = step.split(' ');
        if (w[0] == "mode") {
            child<QComboBox>(dialog, "m_comboBoxCurrentModel")->setCurrentIndex(w[1].toInt());
        } else if (w[0] == "add") {
            child<QLineEdit>(dialog, "m_lineEditIDMin")->setText(w.value(1));
            child<QLineEdit>(dialog, "m_lineEditIDMax")->setText(w.value(2));
            QTest::mouseClick(child<QPushButton>(dialog, "m_pushButtonAdd"), Qt::LeftButton);
        } else if (w[0] == "click") {
            const QModelIndex cell = table->model()->index(w[1].toInt(), w[2].toInt());
            const QPoint at = table->visualRect(cell).center();
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
        } else if (w[0] == "clear") {
            QTest::mouseClick(child<QPushButton>(dialog, "m_pushButtonClear"), Qt::LeftButton);
        }
    }
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
} // namespace

class TestFilterDialog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initBrantelResources(); }

    void editing_data()
    {
        QTest::addColumn<int>("startMode");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("messages"); // joined by "|"

        // Every dialog opens with the ranges 1AB-7FF and 10-1FFFFFFF.
        QTest::newRow("reopened on mode 1: upper case, no icons")
            << 1 << "" << "1AB,7FF|10,1FFFFFFF" << "1:1ab-7ff 10-1fffffff" << "";
        QTest::newRow("switching mode and back empties the table")
            << 1 << "mode 2;mode 1" << "" << "1:" << "";
        QTest::newRow("typed bounds") << 0 << "mode 2;add 0x7FF 7ff;add xyz 10"
            << "0x7FF,7ff,del|xyz,10,del" << "2:7ff-7ff 0-10" << "";
        QTest::newRow("each mode keeps its added rows, shown again without icons")
            << 0 << "mode 1;add 1 2;mode 2;add 3 4;mode 1" << "1,2" << "1:1-2" << "";
        QTest::newRow("delete column removes the row and its list entry")
            << 0 << "mode 1;add 1 2;add 3 4;click 0 3;mode 2;mode 1" << "3,4" << "1:3-4" << "";
        QTest::newRow("clear empties the table and both lists")
            << 0 << "mode 1;add 1 2;mode 2;add 3 4;clear;mode 1" << "" << "1:" << "";
        QTest::newRow("a bound empty") << 0 << "mode 1;add  5;add 5" << "" << "1:"
            << "低HEX不能为空|高HEX不能为空";
    }

    void editing()
    {
        QFETCH(int, startMode);
        QFETCH(QString, steps);
        RecordingDialogs dialogs;
        FilterDialog dialog(startMode, {{0x1ab, 0x7ff}, {0x10, 0x1FFFFFFF}});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        run(&dialog, steps);
        QTEST(tableText(&dialog), "table");
        QTEST(rangesText(dialog.filterSettings()), "result");
        QTEST(dialogs.texts().join('|'), "messages");
    }

    void file_data()
    {
        QTest::addColumn<QByteArray>("file");  // read; empty: no such file
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("message");  // the start of it where a system text follows

        // Before each read the dialog is in mode 1 with the added row 9,9, and the list of
        // mode 2 holds 5,6 and 7,8: a refused file leaves it so, a read file replaces it.
        const QString kept = "9,9,del";
        QTest::newRow("file rows replace what the mode change shows")
            << QByteArray(R"({"Data": ["1,2", "通道,ü"], "FilterName": 2})") << 2 << "1,2|通道,ü" << "";
        QTest::newRow("entry without a comma fills both columns")
            << QByteArray(R"({"Data": ["7ff", 4], "FilterName": 1})") << 1 << "7ff,7ff|," << "";
        QTest::newRow("an array") << QByteArray(R"(["1,2"])") << 1 << kept << "解析配置文件失败.";
        QTest::newRow("no Data") << QByteArray(R"({"FilterName": 2})") << 1 << kept << "不是有效的配置文件";
        QTest::newRow("no such file") << QByteArray() << 1 << kept << "打开配置文件失败.";
    }

    void file()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        if (!file.isEmpty())
            QVERIFY(writeBytes(path, file));
        RecordingDialogs dialogs;
        FilterDialog dialog(0, {});
        run(&dialog, "mode 2;add 5 6;add 7 8;mode 1;add 9 9");
        dialogs.fileAnswers << path;
        QTest::mouseClick(child<QPushButton>(&dialog, "m_pushButtonRead"), Qt::LeftButton);

        QCOMPARE(dialogs.fileFilters, QStringList{"TXT文件(*.txt)"});
        QTEST(child<QComboBox>(&dialog, "m_comboBoxCurrentModel")->currentIndex(), "mode");
        QTEST(tableText(&dialog), "table");
        const QString shown = dialogs.texts().join('|');
        QCOMPARE(shown.left(message.size()), message);
        // A system reason follows only where the file could not be opened.
        QCOMPARE(shown.size() > message.size(), file.isEmpty());
    }

    // Saved over a longer file (read back by the file table); a save into a missing folder
    // leaves nothing and says why.
    void save()
    {
        RecordingDialogs dialogs;
        FilterDialog dialog(2, {{0x10, 0x7ff}});
        run(&dialog, "add 0x7FF 7ff;add 通道 ü");
        const QString path = m_dir.filePath("saved.txt");
        QVERIFY(writeBytes(path, QByteArray(200, '#')));
        dialogs.fileAnswers << path << m_dir.filePath("missing/f.txt");
        auto *save = child<QPushButton>(&dialog, "m_pushButtonSave");
        QTest::mouseClick(save, Qt::LeftButton);
        QTest::mouseClick(save, Qt::LeftButton);
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("{\n    \"Data\": [\n        \"10,7FF\",\n"
                                             "        \"0x7FF,7ff\",\n        \"通道,ü\"\n"
                                             "    ],\n    \"FilterName\": 2\n}\n"));
        QCOMPARE(dialogs.fileCaptions, (QStringList{"保存配置", "保存配置"}));
        QCOMPARE(dialogs.texts().value(0), QStringLiteral("保存成功"));
        const QString failed = dialogs.texts().value(1);
        QVERIFY2(failed.startsWith("写配置文件失败.") && failed.size() > 8, qPrintable(failed));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestFilterDialog)
#include "tst_filterdialog.moc"
