#pragma once
// The one window of the program: owns the device link, hosts the three pages, carries
// the main menu and wires every control to its slot.

#include "filter/IdFilter.h"
#include "widgets/AbsFrameLessAutoSize.h"

#include <QTranslator>

#include <memory>

class CANParamWidget;
class CWrapWinUSB;
class DataMonitorWidget;
class HotplugSource;
class OfflineListWidget;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;
class SwitchButton;
class TitleWidget;
class TraceWindow;

class MainWidget : public AbsFrameLessAutoSize {
    Q_OBJECT
public:
    explicit MainWidget(QWidget *parent = nullptr);
    ~MainWidget() override;

    CWrapWinUSB *link() const { return m_link.get(); }
    bool isConnected() const { return m_bConnected; }

signals:
    // 0: the adapter arrived, 1: it was removed.
    void deviceChanged(int code);

public slots:
    void onClickedPushButtonConnect();
    void onSwichButtonOfflineModelState(bool on);
    void onSwichButtonRelayModelState(bool on);
    void onPushButtonSaveToFile();
    void onPushButtonReadFromFile();
    void onPushButonDefault();
    void onPushButtonReadCAN();
    void onPushButtonWriteCAN();
    void onPushButtonReadOffline();
    void onPushButtonWriteOffline();
    void onShowMin();
    void onShowMainMenu();
    void onCloseWidget();
    void onLeftDoubleClick();
    void onActionAbout();
    void onActionSet();
    void onAcitonFilter();
    void onActionDevInfo();
    void onActionSimplifiedChinese();
    void onActionEnglish();
    void onStartWatch();
    void onStopWatch();
    void onDeviceChanged(int code);
    void onCurrentChangedTabWidget(int index);

protected:
    bool event(QEvent *event) override;
    bool nativeEvent(const QByteArray &eventType, void *message, long *result) override;
    void paintEvent(QPaintEvent *event) override;

private:
    friend class TestMainWidget;

    static constexpr int DevNameMinimumWidth = 150;

    void setupUi();
    void createMenu();
    void applyStartLanguage();
    void retranslateUi();
    void retranslateExtras();
    void installLanguage(QTranslator &preferred, int minimumWidth);
    void fitMinimumWidth(int describedWidth = 0);
    void showDeviceName();
    void hint(const QString &text);
    void connectDevice();
    void closeConnection();
    void disconnectDevice();

    // Controls, in creation order.
    QLabel *m_pLabelDevName = nullptr;
    QLineEdit *m_pLineEditDevName = nullptr;
    QPushButton *m_pPushButtonConnect = nullptr;
    QTabWidget *m_tabWidget = nullptr;
    QPushButton *m_pPushButtonSavetofile = nullptr;
    QPushButton *m_pPushButtonReadfromfile = nullptr;
    QPushButton *m_pPushButtonDefault = nullptr;
    SwitchButton *m_pWidgetOfflineModeState = nullptr;
    QLabel *m_pLabelOfflineMode = nullptr;
    QLabel *m_pLabelRelayModel = nullptr;
    SwitchButton *m_pWidgetRelayModel = nullptr;
    QPushButton *m_pushButtonReadCAN = nullptr;
    QPushButton *m_pushButtonWriteCAN = nullptr;
    QPushButton *m_pushButtonReadOffline = nullptr;
    QPushButton *m_pushButtonWriteOffline = nullptr;
    QLabel *m_labelSendType = nullptr;
    QComboBox *m_comboBoxSendType = nullptr;

    TitleWidget *m_pTitleWidget = nullptr;
    std::shared_ptr<CWrapWinUSB> m_link;
    CANParamWidget *m_pCANParamWidget = nullptr;
    OfflineListWidget *m_pOfflineListWidget = nullptr;
    DataMonitorWidget *m_pDataMonitorWidget = nullptr;
    QMenu *m_pMainMenu = nullptr;
    QAction *m_pActionAbout = nullptr;
    QAction *m_pActionDevInfo = nullptr;
    QAction *m_pActionSet = nullptr;
    QAction *m_pActionFilter = nullptr;
    QAction *m_pActionSimplifiedChinese = nullptr;
    QAction *m_pActionEnglish = nullptr;
    QAction *m_pActionTrace = nullptr;
    QAction *m_pActionLoadDbc = nullptr;
    TraceWindow *m_pTraceWindow = nullptr;
    bool m_bConnected = false;
    int m_nOfflineCount = 0;
    int m_nChannalCount = 0;
    int m_nDescribedMinimumWidth = 0;
    void *m_deviceNotification = nullptr;
    HotplugSource *m_pHotplugSource = nullptr;
    IdFilter m_idFilter;
    QString m_strDevType;
    QString m_strFirmwareVer;
    QTranslator m_translatorZh;
    QTranslator m_translatorEn;
};
