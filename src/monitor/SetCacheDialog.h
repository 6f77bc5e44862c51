#pragma once
// "设置缓存": asks for the monitor's display cache size.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class SetCacheDialog : public QDialog {
    Q_OBJECT
public:
    explicit SetCacheDialog(int cacheCount, QWidget *parent = nullptr);

    // The typed size; an empty text or one that does not fit an int gives 0.
    int cacheSize() const;

private:
    QLabel *m_pLabelCacheCount = nullptr;
    QLineEdit *m_pLineEditCacheCount = nullptr;
    QPushButton *m_pushButtonUpdate = nullptr;
};
