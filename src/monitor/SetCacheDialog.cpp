#include "monitor/SetCacheDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

SetCacheDialog::SetCacheDialog(int cacheCount, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
{
    setWindowTitle(tr("设置缓存"));
    setWindowIcon(QIcon(QStringLiteral(":/App/Resources/app.ico")));
    QFont f = font();
    f.setPointSize(10);
    setFont(f);
    setFixedSize(377, 200);

    m_pLabelCacheCount = new QLabel(tr("缓存大小："), this);
    m_pLabelCacheCount->setObjectName(QStringLiteral("m_pLabelCacheCount"));
    // Where a font needs more than the 61 pixels, the label grows to the left and keeps
    // its gap to the edit, instead of cutting its text.
    const int labelWidth = qMax(61, m_pLabelCacheCount->sizeHint().width());
    m_pLabelCacheCount->setGeometry(131 - labelWidth, 60, labelWidth, 16);

    m_pLineEditCacheCount = new QLineEdit(QString::number(cacheCount), this);
    m_pLineEditCacheCount->setObjectName(QStringLiteral("m_pLineEditCacheCount"));
    m_pLineEditCacheCount->setGeometry(140, 60, 113, 20);
    m_pLineEditCacheCount->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]+$")), m_pLineEditCacheCount));
    m_pLineEditCacheCount->setAcceptDrops(false);

    m_pushButtonUpdate = new QPushButton(tr("确定"), this);
    m_pushButtonUpdate->setObjectName(QStringLiteral("m_pushButtonUpdate"));
    m_pushButtonUpdate->setGeometry(140, 120, 75, 23);
    connect(m_pushButtonUpdate, &QPushButton::clicked, this, &QDialog::accept);
}

int SetCacheDialog::cacheSize() const
{
    bool ok = false;
    const int size = m_pLineEditCacheCount->text().toInt(&ok, 10);
    return ok ? size : 0;
}
