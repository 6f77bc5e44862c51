#pragma once
// Animated two-state switch: a knob slides between its two ends after each change.

#include <QColor>
#include <QString>
#include <QWidget>

class QTimer;

class SwitchButton : public QWidget
{
    Q_OBJECT
public:
    enum ButtonStyle {
        ButtonStyleRect = 0,    // rounded rectangle, rectangular knob
        ButtonStylePill = 1,    // pill with a round knob inside
        ButtonStyleInset = 2,   // inset track, larger round knob
        ButtonStyleImage = 3,   // two pictures
    };
    Q_ENUM(ButtonStyle)

    explicit SwitchButton(QWidget *parent = nullptr);

    bool isChecked() const { return m_checked; }
    ButtonStyle buttonStyle() const { return m_buttonStyle; }

    // Sets the state without checkedChanged, for changes the program makes itself
    // (e.g. turning a switch back after a failed exchange with the device).
    void setCheckedSilently(bool checked);

    // Animation state: current knob offset, where it is heading and the pixels per tick.
    int knobOffset() const { return m_startX; }
    int targetOffset() const { return m_endX; }
    int step() const { return m_step; }
    bool isAnimating() const;

public slots:
    void setChecked(bool checked);
    void setButtonStyle(SwitchButton::ButtonStyle buttonStyle);
    void setBgColor(QColor bgColorOff, QColor bgColorOn);
    void setSliderColor(QColor sliderColorOff, QColor sliderColorOn);
    void setTextColor(QColor textColorOff, QColor textColorOn);
    void setText(QString textOff, QString textOn);
    void setImage(QString imageOff, QString imageOn);
    void setSpace(int space);
    void setRectRadius(int rectRadius);

private slots:
    void updateValue();

signals:
    void checkedChanged(bool checked);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    int checkedEnd() const;
    void setStep(int divisor);
    void drawBg(QPainter *painter);
    void drawSlider(QPainter *painter);
    void drawText(QPainter *painter);
    void drawImage(QPainter *painter);

    bool m_checked = false;
    ButtonStyle m_buttonStyle = ButtonStyleRect;
    QColor m_bgColorOff{225, 225, 225};
    QColor m_bgColorOn{250, 250, 250};
    QColor m_sliderColorOff{100, 100, 100};
    QColor m_sliderColorOn{100, 184, 255};
    QColor m_textColorOff{255, 255, 255};
    QColor m_textColorOn{10, 10, 10};
    QString m_textOff;
    QString m_textOn;
    QString m_imageOff{QStringLiteral(":/image/btncheckoff1.png")};
    QString m_imageOn{QStringLiteral(":/image/btncheckon1.png")};
    int m_space = 2;
    int m_rectRadius = 5;
    int m_step = 0;
    int m_startX = 0;
    int m_endX = 0;
    QTimer *m_timer = nullptr;
};

// The look every switch of the program gets right after construction.
void applyProgramSwitchStyle(SwitchButton *sw);
