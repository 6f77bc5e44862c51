#pragma once
// The bit-timing calculator: register values for a wanted bit rate and sample point,
// exact rates first, then the closest. The chosen value goes into the custom field.

#include <QDialog>

class QDialogButtonBox;
class QDoubleSpinBox;
class QLabel;
class QListWidget;

class BitTimingDialog : public QDialog {
    Q_OBJECT
public:
    explicit BitTimingDialog(QWidget *parent = nullptr);
    // The text of the button that opens the calculator.
    static QString openerText();

    void setWanted(double kbitsPerSecond, double samplePointPercent);
    // "0x" and eight upper-case digits of the selected value; empty when none.
    QString chosenRegister() const;

private slots:
    void onWantedChanged();

private:
    QLabel *m_pLabelBitRate = nullptr;
    QDoubleSpinBox *m_pSpinBoxBitRate = nullptr;
    QLabel *m_pLabelSamplePoint = nullptr;
    QDoubleSpinBox *m_pSpinBoxSamplePoint = nullptr;
    QListWidget *m_pListWidgetCandidates = nullptr;
    QDialogButtonBox *m_pButtonBox = nullptr;
};
