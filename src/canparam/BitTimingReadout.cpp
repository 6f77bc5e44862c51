#include "canparam/BitTimingReadout.h"

#include "canparam/BitTiming.h"

BitTimingReadout::BitTimingReadout(QWidget *parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("m_pLabelBitTiming"));
}

QString BitTimingReadout::rateText(double bitsPerSecond)
{
    QString kbits = QString::number(bitsPerSecond / 1000.0, 'f', 3);
    while (kbits.endsWith(QLatin1Char('0')))
        kbits.chop(1);
    if (kbits.endsWith(QLatin1Char('.')))
        kbits.chop(1);
    return kbits;
}

QString BitTimingReadout::describe(const BitTiming &timing)
{
    if (!timing.isValid())
        return tr("无效");
    return tr("%1 kbit/s，采样点 %2%")
        .arg(rateText(timing.bitRate()))
        .arg(QString::number(100.0 * timing.samplePoint(), 'f', 1));
}

void BitTimingReadout::showRegisterText(const QString &text)
{
    m_text = text;
    setText(describe(BitTiming::fromText(text)));
}

void BitTimingReadout::retranslate()
{
    showRegisterText(m_text);
}
