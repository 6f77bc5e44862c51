#include "widgets/TitleWidget.h"

#include "widgets/PushButton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace {

constexpr int TitleHeight = 30;
const QColor TitleColor(40, 119, 192);

PushButton *makeButton(QWidget *parent, const char *objectName, const QString &image,
                       const QString &toolTip)
{
    auto *button = new PushButton(parent);
    button->setObjectName(QLatin1String(objectName));
    button->setImage(image);
    button->setToolTip(toolTip);
    return button;
}

} // namespace

TitleWidget::TitleWidget(int buttonSet, QWidget *parent)
    : QWidget(parent)
{
    m_pLabelTitle = new QLabel(this);
    m_pLabelTitle->setObjectName(QStringLiteral("m_pLabelTitle"));
    QPalette palette = m_pLabelTitle->palette();
    palette.setBrush(QPalette::All, QPalette::WindowText, QBrush(Qt::white));
    m_pLabelTitle->setPalette(palette);
    QFont font = m_pLabelTitle->font();
    font.setPointSize(10);
    font.setWeight(75);
    m_pLabelTitle->setFont(font);
    m_pLabelTitle->setContentsMargins(10, 10, 0, 0);

    // The tool tips stay Chinese in every language: they are not catalogued.
    if (buttonSet == 2)
        m_pPushButtonMenu = makeButton(this, "m_pPushButtonMenu",
                                       QStringLiteral(":/sysButton/Resources/sysButton/menu"),
                                       QStringLiteral("菜单"));
    if (buttonSet == 1 || buttonSet == 2)
        m_pPushButtonMin = makeButton(this, "m_pPushButtonMin",
                                      QStringLiteral(":/sysButton/Resources/sysButton/min"),
                                      QStringLiteral("最小化"));
    m_pPushButtonClose = makeButton(this, "m_pPushButtonClose",
                                    QStringLiteral(":/sysButton/Resources/sysButton/close"),
                                    QStringLiteral("关闭"));

    m_pLabelIcon = new QLabel(this);
    m_pLabelIcon->setObjectName(QStringLiteral("m_pLabelIcon"));
    m_pLabelIcon->setFixedSize(20, 25);
    m_pLabelIcon->setScaledContents(true);
    m_pLabelIcon->setPixmap(QPixmap(QStringLiteral(":/App/Resources/app.ico")));
    m_pLabelIcon->setContentsMargins(0, 5, 0, 0);

    auto *row = new QHBoxLayout;
    row->addSpacing(5);
    row->addWidget(m_pLabelIcon, 0, Qt::AlignTop);
    row->addWidget(m_pLabelTitle, 0, Qt::AlignTop);
    row->addStretch();
    for (PushButton *button : {m_pPushButtonMenu, m_pPushButtonMin, m_pPushButtonClose}) {
        if (button)
            row->addWidget(button, 0, Qt::AlignTop);
    }
    row->setSpacing(0);
    row->setContentsMargins(0, 0, 1, 0);

    auto *column = new QVBoxLayout(this);
    column->addLayout(row);
    column->setSpacing(0);
    column->setContentsMargins(0, 0, 0, 0);
    setFixedHeight(TitleHeight);

    if (m_pPushButtonMenu)
        connect(m_pPushButtonMenu, &QPushButton::clicked, this, &TitleWidget::showMainMenu);
    if (m_pPushButtonMin)
        connect(m_pPushButtonMin, &QPushButton::clicked, this, &TitleWidget::showMin);
    connect(m_pPushButtonClose, &QPushButton::clicked, this, &TitleWidget::closeWidget);
}

void TitleWidget::setTitle(const QString &text)
{
    m_pLabelTitle->setText(text);
}

void TitleWidget::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.fillRect(rect(), TitleColor);
    painter.end();
    QWidget::paintEvent(event);
}

void TitleWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit LeftDoubleClick();
}
