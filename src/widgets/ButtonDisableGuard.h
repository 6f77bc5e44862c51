#pragma once
// Disables a bottom-row button for the length of a device exchange and enables it again
// on every way out. The short event pass lets the disabled button be drawn before the
// exchange blocks the GUI thread.

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>

class ButtonDisableGuard {
public:
    explicit ButtonDisableGuard(QWidget *button) : m_button(button)
    {
        if (!m_button)
            return;
        m_button->setEnabled(false);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 5);
    }
    ~ButtonDisableGuard()
    {
        if (m_button)
            m_button->setEnabled(true);
    }
    ButtonDisableGuard(const ButtonDisableGuard &) = delete;
    ButtonDisableGuard &operator=(const ButtonDisableGuard &) = delete;

private:
    QPointer<QWidget> m_button;
};
