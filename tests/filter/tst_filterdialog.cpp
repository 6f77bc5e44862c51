// The identifier filter dialog driven as the user drives it (mode lists, Add, the delete
// column, Clear, the result, the filter file buttons) and the main window's filter action.

#include "app/MainWidget.h"
#include "device/DeviceBackends.h"
#include "device/SimulatedAdapter.h"
#include "filter/FilterDialog.h"
#include "filter/FilterFile.h"
#include "support/RecordingDialogs.h"
#include "widgets/BrantelResources.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QJsonParseError>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

Q_DECLARE_METATYPE(QVector<IdRange>)

namespace {
QVector<IdRange> rangesOf(std::initializer_list<std::pair<int, int>> pairs)
{
    QVector<IdRange> ranges;
    for (const auto &p : pairs)
        ranges.append({p.first, p.second});
    return ranges;
}

QString textOf(const QVector<IdRange> &ranges)
{
    QStringList out;
    for (const IdRange &r : ranges)
        out << QString::number(r.low, 16) + QLatin1Char('-') + QString::number(r.high, 16);
    return out.join(QLatin1Char(' '));
}

template <typename T> T *child(QWidget *parent, const char *name)
{
    T *w = parent->findChild<T *>(QLatin1String(name));
    if (!w)
        qFatal("no child %s", name);
    return w;
}

// The table as "low,high" per row, with ",del" where the row shows a delete icon.
QStringList tableText(QWidget *dialog)
{
    auto *table = child<QTableWidget>(dialog, "m_tableWidgetCondition");
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        auto text = [table, r](int c) { return table->item(r, c) ? table->item(r, c)->text() : QString(); };
        QString row = text(0) + QLatin1Char(',') + text(1);
        if (table->item(r, 3) && !table->item(r, 3)->icon().isNull())
            row += QStringLiteral(",del");
        rows << row;
    }
    return rows;
}

// Runs user steps: "mode N", "add LOW HIGH", "click ROW COLUMN", "clear",
// "edit ROW COLUMN TEXT".
void run(QWidget *dialog, const QStringList &steps)
{
    auto *table = child<QTableWidget>(dialog, "m_tableWidgetCondition");
    for (const QString &step : steps) {
        const QStringList w = step.split(QLatin1Char(' '));
        if (w[0] == QLatin1String("mode")) {
            child<QComboBox>(dialog, "m_comboBoxCurrentModel")->setCurrentIndex(w[1].toInt());
        } else if (w[0] == QLatin1String("add")) {
            child<QLineEdit>(dialog, "m_lineEditIDMin")->setText(w.value(1));
            child<QLineEdit>(dialog, "m_lineEditIDMax")->setText(w.value(2));
            QTest::mouseClick(child<QPushButton>(dialog, "m_pushButtonAdd"), Qt::LeftButton);
        } else if (w[0] == QLatin1String("click")) {
            const QRect cell = table->visualRect(table->model()->index(w[1].toInt(), w[2].toInt()));
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        } else if (w[0] == QLatin1String("clear")) {
            QTest::mouseClick(child<QPushButton>(dialog, "m_pushButtonClear"), Qt::LeftButton);
        } else if (w[0] == QLatin1String("edit")) {
            table->item(w[1].toInt(), w[2].toInt())->setText(w[3]);
        } else {
            qFatal("unknown step %s", qPrintable(step));
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
    void initTestCase();
    void editing_data();
    void editing();
    void emptyBoundIsRefused_data();
    void emptyBoundIsRefused();
    void readingAFile_data();
    void readingAFile();
    void savingAFile_data();
    void savingAFile();
    void mainWindowReplacesItsFilterOnlyWhenAccepted_data();
    void mainWindowReplacesItsFilterOnlyWhenAccepted();

private:
    QTemporaryDir m_dir;
};

void TestFilterDialog::initTestCase()
{
    initBrantelResources();
    DeviceBackends::registerBuiltins();
    QVERIFY(DeviceBackends::select(DeviceBackends::simulatedName()));
}

void TestFilterDialog::editing_data()
{
    QTest::addColumn<int>("startMode");
    QTest::addColumn<QVector<IdRange>>("startRanges");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("table");
    QTest::addColumn<bool>("inputsEnabled");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("ranges");

    const QVector<IdRange> some = rangesOf({{0x1ab, 0x7ff}, {0x10, 0x1FFFFFFF}});
    QTest::newRow("reopened on mode 1: upper case, no icons")
        << 1 << some << QStringList() << QStringList{"1AB,7FF", "10,1FFFFFFF"} << true << 1
        << "1ab-7ff 10-1fffffff";
    QTest::newRow("reopened on mode 0 shows nothing")
        << 0 << some << QStringList() << QStringList() << false << 0 << "";
    QTest::newRow("switching mode and back empties the table")
        << 1 << some << QStringList{"mode 2", "mode 1"} << QStringList() << true << 1 << "";
    QTest::newRow("accepting mode 0 keeps no ranges")
        << 2 << some << QStringList{"mode 0"} << QStringList() << false << 0 << "";
    QTest::newRow("typed bounds")
        << 2 << QVector<IdRange>() << QStringList{"add 0x7FF 7ff", "add xyz 10"}
        << QStringList{"0x7FF,7ff,del", "xyz,10,del"} << true << 2 << "7ff-7ff 0-10";
    QTest::newRow("added rows come back after a mode switch, without icons")
        << 0 << QVector<IdRange>() << QStringList{"mode 1", "add 100 1FF", "mode 2", "mode 1"}
        << QStringList{"100,1FF"} << true << 1 << "100-1ff";
    QTest::newRow("each mode keeps its own rows")
        << 1 << QVector<IdRange>() << QStringList{"add 1 2", "mode 2", "add 3 4"}
        << QStringList{"3,4,del"} << true << 2 << "3-4";
    QTest::newRow("delete column removes the row and its list entry")
        << 1 << QVector<IdRange>()
        << QStringList{"add 1 2", "add 3 4", "click 0 3", "mode 2", "mode 1"}
        << QStringList{"3,4"} << true << 1 << "3-4";
    QTest::newRow("delete column removes a row without icon")
        << 2 << some << QStringList{"click 1 3"} << QStringList{"1AB,7FF"} << true << 2
        << "1ab-7ff";
    QTest::newRow("other columns remove nothing")
        << 1 << QVector<IdRange>() << QStringList{"add 1 2", "click 0 0", "click 0 1", "click 0 2"}
        << QStringList{"1,2,del"} << true << 1 << "1-2";
    QTest::newRow("clear empties the table and both lists")
        << 1 << QVector<IdRange>() << QStringList{"add 1 2", "mode 2", "add 3 4", "clear", "mode 1"}
        << QStringList() << true << 1 << "";
    QTest::newRow("cells edited in place count")
        << 2 << QVector<IdRange>() << QStringList{"add 1 2", "edit 0 1 0x20"}
        << QStringList{"1,0x20,del"} << true << 2 << "1-20";
}

void TestFilterDialog::editing()
{
    QFETCH(int, startMode);
    QFETCH(QVector<IdRange>, startRanges);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, table);
    QFETCH(bool, inputsEnabled);
    QFETCH(int, mode);
    QFETCH(QString, ranges);

    RecordingDialogs dialogs;
    FilterDialog dialog(startMode, startRanges);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    run(&dialog, steps);

    QCOMPARE(tableText(&dialog), table);
    QCOMPARE(child<QLineEdit>(&dialog, "m_lineEditIDMin")->isEnabled(), inputsEnabled);
    QCOMPARE(child<QTableWidget>(&dialog, "m_tableWidgetCondition")->isEnabled(), inputsEnabled);
    const IdFilter result = dialog.filterSettings();
    QCOMPARE(result.mode, mode);
    QCOMPARE(textOf(result.ranges), ranges);
    QVERIFY(dialogs.boxes.isEmpty());
}

void TestFilterDialog::emptyBoundIsRefused_data()
{
    QTest::addColumn<QString>("low");
    QTest::addColumn<QString>("high");
    QTest::addColumn<QString>("message");

    QTest::newRow("low empty") << "" << "1FF" << QString::fromUtf8("低HEX不能为空");
    QTest::newRow("both empty") << "" << "" << QString::fromUtf8("低HEX不能为空");
    QTest::newRow("high empty") << "100" << "" << QString::fromUtf8("高HEX不能为空");
}

void TestFilterDialog::emptyBoundIsRefused()
{
    QFETCH(QString, low);
    QFETCH(QString, high);
    QFETCH(QString, message);

    RecordingDialogs dialogs;
    FilterDialog dialog(2, {});
    child<QLineEdit>(&dialog, "m_lineEditIDMin")->setText(low);
    child<QLineEdit>(&dialog, "m_lineEditIDMax")->setText(high);
    QTest::mouseClick(child<QPushButton>(&dialog, "m_pushButtonAdd"), Qt::LeftButton);

    QCOMPARE(dialogs.boxes.size(), 1);
    QCOMPARE(dialogs.boxes[0].kind, Dialogs::Kind::Information);
    QCOMPARE(dialogs.boxes[0].title, QString::fromUtf8("提示"));
    QCOMPARE(dialogs.boxes[0].text, message);
    QCOMPARE(tableText(&dialog), QStringList());
    // The typed texts stay for the user to complete.
    QCOMPARE(child<QLineEdit>(&dialog, "m_lineEditIDMax")->text(), high);
}

void TestFilterDialog::readingAFile_data()
{
    QTest::addColumn<QByteArray>("file");  // empty: no such file
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("table");
    QTest::addColumn<QString>("message");

    auto parserText = [](const QByteArray &bytes) {
        QJsonParseError e;
        QJsonDocument::fromJson(bytes, &e);
        return e.errorString();
    };
    const QByteArray trailing = "{\"Data\": [\"1,2\"], \"FilterName\": 2}\n}";
    // Before each read the dialog is in mode 1 with the added row 9,9 and a row 5,6 in the
    // list of mode 2, so an unchanged dialog and leftover rows both show.
    const QStringList before{"9,9,del"};

    QTest::newRow("file rows replace what the mode change shows")
        << QByteArray("{\"Data\": [\"1,2\", \"0x7ff,7FF\"], \"FilterName\": 2}") << 2
        << QStringList{"1,2", "0x7ff,7FF"} << "";
    QTest::newRow("FilterName 5 leaves no mode selected")
        << QByteArray("{\"Data\": [\"1,2\"], \"FilterName\": 5}") << -1
        << QStringList{"1,2"} << "";
    QTest::newRow("entry without a comma fills both columns")
        << QByteArray("{\"Data\": [\"7ff\"], \"FilterName\": 1}") << 1
        << QStringList{"7ff,7ff"} << "";
    QTest::newRow("mode 0 leaves the table empty")
        << QByteArray("{\"Data\": [\"1,2\"], \"FilterName\": 0}") << 0 << QStringList() << "";
    QTest::newRow("text after the object")
        << trailing << 1 << before
        << QString::fromUtf8("解析配置文件失败.") + parserText(trailing);
    QTest::newRow("not an object")
        << QByteArray("[\"1,2\"]") << 1 << before << QString::fromUtf8("解析配置文件失败.");
    QTest::newRow("no Data")
        << QByteArray("{\"FilterName\": 2}") << 1 << before
        << QString::fromUtf8("不是有效的配置文件");
    QTest::newRow("no such file")
        << QByteArray() << 1 << before << QString::fromUtf8("打开配置文件失败.");
}

void TestFilterDialog::readingAFile()
{
    QFETCH(QByteArray, file);
    QFETCH(int, mode);
    QFETCH(QStringList, table);
    QFETCH(QString, message);

    const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
    if (!file.isEmpty())
        QVERIFY(writeBytes(path, file));

    RecordingDialogs dialogs;
    FilterDialog dialog(0, {});
    dialog.show();
    run(&dialog, {"mode 2", "add 5 6", "mode 1", "add 9 9"});
    dialogs.fileAnswers << path;
    QTest::mouseClick(child<QPushButton>(&dialog, "m_pushButtonRead"), Qt::LeftButton);

    QCOMPARE(dialogs.fileCaptions, QStringList{QString::fromUtf8("打开配置")});
    QCOMPARE(dialogs.fileFilters, QStringList{QString::fromUtf8("TXT文件(*.txt)")});
    QCOMPARE(child<QComboBox>(&dialog, "m_comboBoxCurrentModel")->currentIndex(), mode);
    QCOMPARE(tableText(&dialog), table);
    if (message.isEmpty()) {
        QVERIFY(dialogs.boxes.isEmpty());
        return;
    }
    QCOMPARE(dialogs.boxes.size(), 1);
    QCOMPARE(dialogs.boxes[0].kind, Dialogs::Kind::Warning);
    QCOMPARE(dialogs.boxes[0].title, QString::fromUtf8("提示"));
    QCOMPARE(dialogs.boxes[0].buttons, QMessageBox::StandardButtons(QMessageBox::Yes));
    if (file.isEmpty()) // followed by the system's text
        QVERIFY(dialogs.boxes[0].text.startsWith(message) && dialogs.boxes[0].text.size() > message.size());
    else
        QCOMPARE(dialogs.boxes[0].text, message);
}

void TestFilterDialog::savingAFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("saved");

    QTest::newRow("mode 2") << "saved2.txt" << 2 << true;
    QTest::newRow("mode 1") << "saved1.txt" << 1 << true;
    QTest::newRow("directory missing") << "missing/saved.txt" << 2 << false;
}

void TestFilterDialog::savingAFile()
{
    QFETCH(QString, name);
    QFETCH(int, mode);
    QFETCH(bool, saved);

    const QString path = m_dir.filePath(name);
    RecordingDialogs dialogs;
    FilterDialog dialog(mode, rangesOf({{0x100, 0x1ff}}));
    dialog.show();
    run(&dialog, {"add 0x7FF 7ff", "add 200 2ff"});
    dialogs.fileAnswers << path;
    QTest::mouseClick(child<QPushButton>(&dialog, "m_pushButtonSave"), Qt::LeftButton);

    QCOMPARE(dialogs.fileCaptions, QStringList{QString::fromUtf8("保存配置")});
    QCOMPARE(dialogs.boxes.size(), 1);
    const RecordingDialogs::Box box = dialogs.boxes[0];
    if (!saved) {
        const QString message = QString::fromUtf8("写配置文件失败.");
        QCOMPARE(box.kind, Dialogs::Kind::Warning);
        QCOMPARE(box.title, QString::fromUtf8("失败"));
        QVERIFY(box.text.startsWith(message) && box.text.size() > message.size());
        QVERIFY(!QFile::exists(path));
        return;
    }
    QCOMPARE(box.kind, Dialogs::Kind::Information);
    QCOMPARE(box.title, QString::fromUtf8("提示"));
    QCOMPARE(box.text, QString::fromUtf8("保存成功"));

    // Read back into a fresh dialog in the same mode: the same texts, no delete icons.
    FilterDialog other(mode, {});
    dialogs.fileAnswers << path;
    QTest::mouseClick(child<QPushButton>(&other, "m_pushButtonRead"), Qt::LeftButton);
    QCOMPARE(tableText(&other), (QStringList{"100,1FF", "0x7FF,7ff", "200,2ff"}));
    QCOMPARE(other.filterSettings().mode, mode);
    QCOMPARE(textOf(other.filterSettings().ranges), textOf(dialog.filterSettings().ranges));
}

void TestFilterDialog::mainWindowReplacesItsFilterOnlyWhenAccepted_data()
{
    QTest::addColumn<bool>("accept");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("table");

    QTest::newRow("accepted") << true << 2 << QStringList{"100,1FF"};
    QTest::newRow("closed") << false << 0 << QStringList();
}

void TestFilterDialog::mainWindowReplacesItsFilterOnlyWhenAccepted()
{
    QFETCH(bool, accept);
    QFETCH(int, mode);
    QFETCH(QStringList, table);

    std::shared_ptr<SimFirmware> device = SimRegistry::instance().add();
    RecordingDialogs dialogs;
    {
        MainWidget window;
        QAction *action = window.findChild<QAction *>(QStringLiteral("m_pActionFilter"));
        QVERIFY(action);

        // Runs `steps` on the modal dialog the action opens, then accepts or closes it.
        auto onDialog = [](const std::function<void(FilterDialog *)> &steps) {
            QTimer::singleShot(0, [steps] {
                auto *d = qobject_cast<FilterDialog *>(QApplication::activeModalWidget());
                if (!d)
                    qFatal("the filter dialog is not open");
                steps(d);
            });
        };
        QWidget *parent = nullptr;
        onDialog([accept, &parent](FilterDialog *d) {
            parent = d->parentWidget();
            run(d, {"mode 2", "add 100 1ff"});
            if (accept)
                QTest::mouseClick(child<QPushButton>(d, "m_pushButtonOK"), Qt::LeftButton);
            else
                d->reject();
        });
        action->trigger();
        QCOMPARE(parent, static_cast<QWidget *>(&window));

        // The next opening shows the window's filter as it now is.
        QStringList shown;
        int shownMode = -2;
        onDialog([&](FilterDialog *d) {
            shownMode = child<QComboBox>(d, "m_comboBoxCurrentModel")->currentIndex();
            shown = tableText(d);
            d->reject();
        });
        action->trigger();
        QCOMPARE(shownMode, mode);
        QCOMPARE(shown, table);
    }
    SimRegistry::instance().clear();
}

QTEST_MAIN(TestFilterDialog)
#include "tst_filterdialog.moc"
