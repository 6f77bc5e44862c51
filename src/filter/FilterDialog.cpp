#include "filter/FilterDialog.h"

#include "filter/FilterFile.h"
#include "widgets/Dialogs.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

FilterDialog::FilterDialog(int mode, QVector<IdRange> ranges, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setupUi();

    // Adding the first name makes it current, which disables the inputs for mode 0.
    m_comboBoxCurrentModel->addItem(tr("禁用"));
    m_comboBoxCurrentModel->addItem(tr("不接收的ID"));
    m_comboBoxCurrentModel->addItem(tr("仅接收的ID"));

    m_comboBoxCurrentModel->setCurrentIndex(mode);
    if (mode == IdFilter::Disabled)
        return;
    // The ranges handed in are shown but are not in a mode list, and carry no delete icon.
    for (const IdRange &range : ranges)
        appendRow({hexBoundText(range.low), hexBoundText(range.high)}, false);
}

void FilterDialog::setupUi()
{
    setWindowTitle(tr("ID过滤设置"));
    setWindowIcon(QIcon(QStringLiteral(":/App/Resources/app.ico")));
    QFont f = font();
    f.setPointSize(10);
    setFont(f);
    resize(550, 369);

    auto makeButton = [this](const char *name, const QString &text) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    auto makeLabel = [this](const char *name, const QString &text) {
        auto *l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    auto makeEdit = [this](const char *name) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setFixedWidth(111);
        return e;
    };

    m_labelModel = makeLabel("m_labelModel", tr("当前模式："));
    m_labelModel->setMinimumWidth(75);
    m_comboBoxCurrentModel = new QComboBox(this);
    m_comboBoxCurrentModel->setObjectName(QStringLiteral("m_comboBoxCurrentModel"));
    m_comboBoxCurrentModel->setFixedWidth(111);
    m_comboBoxCurrentModel->setMaxCount(3);
    m_labelLow = makeLabel("m_labelLow", tr("从低（HEX)："));
    m_lineEditIDMin = makeEdit("m_lineEditIDMin");
    m_labelMax = makeLabel("m_labelMax", tr("到高（HEX)："));
    m_lineEditIDMax = makeEdit("m_lineEditIDMax");
    m_pushButtonAdd = makeButton("m_pushButtonAdd", tr("添加"));

    m_tableWidgetCondition = new QTableWidget(0, 4, this);
    m_tableWidgetCondition->setObjectName(QStringLiteral("m_tableWidgetCondition"));
    m_tableWidgetCondition->setHorizontalHeaderLabels(
        {tr("低(HEX)"), tr("高(HEX)"), tr("备注"), QString()});
    QHeaderView *header = m_tableWidgetCondition->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Stretch);
    header->setSectionResizeMode(DeleteColumn, QHeaderView::Fixed);
    header->resizeSection(DeleteColumn, 20);

    m_pushButtonSave = makeButton("m_pushButtonSave", tr("保存"));
    m_pushButtonRead = makeButton("m_pushButtonRead", tr("读取"));
    m_pushButtonClear = makeButton("m_pushButtonClear", tr("清空"));
    m_pushButtonOK = makeButton("m_pushButtonOK", tr("确定"));

    auto *modeRow = new QHBoxLayout;
    modeRow->addWidget(m_labelModel);
    modeRow->addWidget(m_comboBoxCurrentModel);
    modeRow->addStretch();
    auto *rangeRow = new QHBoxLayout;
    rangeRow->addWidget(m_labelLow);
    rangeRow->addWidget(m_lineEditIDMin);
    rangeRow->addSpacing(10);
    rangeRow->addWidget(m_labelMax);
    rangeRow->addWidget(m_lineEditIDMax);
    rangeRow->addWidget(m_pushButtonAdd);
    rangeRow->addStretch();
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(m_pushButtonSave);
    buttonRow->addWidget(m_pushButtonRead);
    buttonRow->addWidget(m_pushButtonClear);
    buttonRow->addWidget(m_pushButtonOK);
    buttonRow->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(modeRow);
    layout->addLayout(rangeRow);
    layout->addWidget(m_tableWidgetCondition);
    layout->addLayout(buttonRow);
    // 550 wide unless a language's labels need more: squeezed, they would be cut off.
    setFixedWidth(qMax(550, layout->totalMinimumSize().width()));

    connect(m_comboBoxCurrentModel, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &FilterDialog::onCurrentIndexChanedModel);
    connect(m_pushButtonAdd, &QPushButton::clicked, this, &FilterDialog::onPushButtonAdd);
    connect(m_pushButtonClear, &QPushButton::clicked, this, &FilterDialog::onPushButtonClear);
    connect(m_pushButtonOK, &QPushButton::clicked, this, &FilterDialog::onPushButtonOK);
    connect(m_pushButtonSave, &QPushButton::clicked, this, &FilterDialog::onPushButtonSave);
    connect(m_pushButtonRead, &QPushButton::clicked, this, &FilterDialog::onPushButtonRead);
    connect(m_tableWidgetCondition, &QTableWidget::cellClicked, this, &FilterDialog::onCellClicked);
}

QStringList *FilterDialog::modeList(int mode)
{
    if (mode == IdFilter::HideListed)
        return &m_listRejected;
    if (mode == IdFilter::ShowOnlyListed)
        return &m_listAccepted;
    return nullptr;
}

void FilterDialog::setRow(int row, const FilterRowText &text)
{
    m_tableWidgetCondition->setItem(row, LowColumn, new QTableWidgetItem(text.low));
    m_tableWidgetCondition->setItem(row, HighColumn, new QTableWidgetItem(text.high));
}

void FilterDialog::appendRow(const FilterRowText &text, bool deletable)
{
    const int row = m_tableWidgetCondition->rowCount();
    m_tableWidgetCondition->insertRow(row);
    setRow(row, text);
    if (deletable) {
        auto *del = new QTableWidgetItem(QIcon(QStringLiteral(":/App/Resources/del.ico")),
                                         QString());
        del->setFlags(Qt::ItemIsEnabled);
        m_tableWidgetCondition->setItem(row, DeleteColumn, del);
    }
}

QVector<FilterRowText> FilterDialog::tableRows() const
{
    auto cellText = [this](int row, int column) {
        const QTableWidgetItem *item = m_tableWidgetCondition->item(row, column);
        return item ? item->text() : QString();
    };
    QVector<FilterRowText> rows;
    for (int row = 0; row < m_tableWidgetCondition->rowCount(); ++row)
        rows.append({cellText(row, LowColumn), cellText(row, HighColumn)});
    return rows;
}

void FilterDialog::onCurrentIndexChanedModel(int index)
{
    m_tableWidgetCondition->setRowCount(0);
    const QStringList *list = modeList(index);
    if (index != IdFilter::Disabled && !list)
        return;  // no mode selected
    const QList<QWidget *> inputs{m_lineEditIDMin, m_lineEditIDMax, m_pushButtonAdd,
                                  m_tableWidgetCondition};
    for (QWidget *w : inputs)
        w->setEnabled(list != nullptr);
    if (list) {
        for (const QString &entry : *list)
            appendRow(splitFilterRow(entry), false);
    }
}

void FilterDialog::onPushButtonAdd()
{
    const QString low = m_lineEditIDMin->text();
    const QString high = m_lineEditIDMax->text();
    if (low.isEmpty()) {
        Dialogs::information(this, tr("提示"), tr("低HEX不能为空"));
        return;
    }
    if (high.isEmpty()) {
        Dialogs::information(this, tr("提示"), tr("高HEX不能为空"));
        return;
    }
    appendRow({low, high}, true);
    if (QStringList *list = modeList(m_comboBoxCurrentModel->currentIndex()))
        list->append(joinFilterRow({low, high}));
    m_lineEditIDMax->clear();
    m_lineEditIDMin->clear();
}

void FilterDialog::onCellClicked(int row, int column)
{
    if (column != DeleteColumn || row < 0)
        return;
    m_tableWidgetCondition->removeRow(row);
    QStringList *list = modeList(m_comboBoxCurrentModel->currentIndex());
    if (list && row < list->size())
        list->removeAt(row);
}

void FilterDialog::onPushButtonClear()
{
    m_tableWidgetCondition->setRowCount(0);
    m_listRejected.clear();
    m_listAccepted.clear();
}

void FilterDialog::onPushButtonOK() { accept(); }

IdFilter FilterDialog::filterSettings() const
{
    // The table, not the mode lists, is the source: cells edited in place count.
    return filterFromRows(m_comboBoxCurrentModel->currentIndex(), tableRows());
}

void FilterDialog::onPushButtonSave()
{
    const QString path = Dialogs::instance().saveFileName(this, tr("保存配置"), QString(),
                                                          tr("TXT文件(*.txt)"));
    if (path.isEmpty())
        return;
    FilterFileContent content;
    content.mode = m_comboBoxCurrentModel->currentIndex();
    content.rows = tableRows();
    const FilterFileResult result = writeFilterFile(path, content);
    if (!result.ok()) {
        Dialogs::warning(this, tr("失败"), tr("写配置文件失败.") + result.detail);
        return;
    }
    Dialogs::information(this, tr("提示"), tr("保存成功"));
}

void FilterDialog::onPushButtonRead()
{
    const QString path = Dialogs::instance().openFileName(this, tr("打开配置"), QString(),
                                                          tr("TXT文件(*.txt)"));
    if (path.isEmpty())
        return;
    FilterFileContent content;
    const FilterFileResult result = readFilterFile(path, &content);
    if (!result.ok()) {
        QString text;
        if (result.error == FilterFileResult::OpenFailed)
            text = tr("打开配置文件失败.") + result.detail;
        else if (result.error == FilterFileResult::MissingMember)
            text = tr("不是有效的配置文件");
        else  // not JSON, or not an object (then without a parser text)
            text = tr("解析配置文件失败.") + result.detail;
        Dialogs::warning(this, tr("提示"), text);
        return;
    }

    // An index outside the three modes leaves no mode selected. The mode change may
    // refill the table from a mode list; the file's rows replace those.
    m_comboBoxCurrentModel->setCurrentIndex(content.mode);
    m_tableWidgetCondition->setRowCount(0);
    if (content.mode == IdFilter::Disabled)
        return;
    m_tableWidgetCondition->setRowCount(content.rows.size());
    for (int row = 0; row < content.rows.size(); ++row)
        setRow(row, content.rows.at(row));
}
