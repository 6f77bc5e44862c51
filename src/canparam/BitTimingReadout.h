#pragma once
// Beside a channel's register field: the bit rate and sample point its value gives,
// or "invalid" when the text is not a register value that can be decoded.

#include <QLabel>

class BitTiming;

class BitTimingReadout : public QLabel {
    Q_OBJECT
public:
    explicit BitTimingReadout(QWidget *parent = nullptr);

    // "250 kbit/s" style: kbit/s with at most three decimals, trailing zeros dropped.
    static QString rateText(double bitsPerSecond);
    // The readout of one register value, translated.
    static QString describe(const BitTiming &timing);

public slots:
    void showRegisterText(const QString &text);
    void retranslate();

private:
    QString m_text;
};
