#pragma once
// Base of the custom-framed windows: frameless and translucent, paints its own thin shadow
// and white body, moves when dragged by its inside and resizes by its edges and corners.

#include <QDialog>

class AbsFrameLessAutoSize : public QDialog
{
    Q_OBJECT
public:
    explicit AbsFrameLessAutoSize(QWidget *parent = nullptr);

    int borderWidth() const { return m_borderWidth; }
    int region() const { return m_region; }

    // For the main window, which is a dialog underneath: Escape does not close it and no
    // button becomes the default one that Enter presses. Dialogs keep both (the default).
    void setMainWindowKeys(bool on) { m_mainWindowKeys = on; }
    bool mainWindowKeys() const { return m_mainWindowKeys; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void updateRegion(const QPoint &pos);
    void resizeToCursor(const QPoint &globalCursor);

    bool m_moving = false;
    bool m_resizing = false;
    int m_pressGlobalX = 0;
    int m_pressGlobalY = 0;
    int m_pressX = 0;
    int m_pressY = 0;
    int m_pressWidth = -1;
    int m_pressHeight = -1;
    int m_borderWidth = 1;
    int m_region = 0;
    bool m_mainWindowKeys = false;
};
