#include "canparam/ChannalPageWidget.h"

ChannalPageWidget::ChannalPageWidget(int channalId, QWidget *parent)
    : QWidget(parent), m_channalId(channalId)
{
}

void ChannalPageWidget::setBaudRate(const QString &) {}
QString ChannalPageWidget::registerText() const { return QString(); }
QJsonObject ChannalPageWidget::toJson() const { return QJsonObject(); }
void ChannalPageWidget::fromJson(const QJsonObject &) {}
void ChannalPageWidget::resetDefaults() {}
void ChannalPageWidget::retranslate() {}
