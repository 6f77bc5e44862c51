#pragma once
// One CAN channel's page: the bit-timing register and the fourteen filter banks.
// (Interface fixed for the callers; the page itself is being built.)

#include <QJsonObject>
#include <QWidget>

class ChannalPageWidget : public QWidget {
    Q_OBJECT
public:
    explicit ChannalPageWidget(int channalId, QWidget *parent = nullptr);

    int channalId() const { return m_channalId; }
    void setBaudRate(const QString &hexDigits);
    QString registerText() const;
    QJsonObject toJson() const;
    void fromJson(const QJsonObject &object);
    void resetDefaults();
    void retranslate();

private:
    int m_channalId = 0;
};
