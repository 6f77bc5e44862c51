#pragma once
// The connected adapter's identity and versions, queried while the dialog is built so
// that it opens filled in.

#include <QDialog>

class CWrapWinUSB;
class QLabel;
class QLineEdit;

class DeviceInfoDialog : public QDialog {
    Q_OBJECT
public:
    DeviceInfoDialog(int channalCount, CWrapWinUSB *link, QWidget *parent = nullptr);

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslateUi();
    void query();

    CWrapWinUSB *m_link = nullptr;
    int m_nChannalCount = 0;

    QLabel *m_labelDevType = nullptr;
    QLineEdit *m_lineEditDevType = nullptr;
    QLabel *m_labelDevNum = nullptr;
    QLineEdit *m_lineEditDevNum = nullptr;
    QLabel *m_labelHardwareVer = nullptr;
    QLineEdit *m_lineEditHardwareVer = nullptr;
    QLabel *m_labelFirmwareVer = nullptr;
    QLineEdit *m_lineEditFirmwareVer = nullptr;
    QLabel *m_labelChannalCount = nullptr;
    QLineEdit *m_lineEditChannalCount = nullptr;
};
