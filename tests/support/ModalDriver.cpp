// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModalDriver.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QTimer>

namespace lw::test {

namespace {
void poll(const QString &name, const std::function<void(QWidget *)> &action, QDeadlineTimer deadline,
          std::shared_ptr<bool> ran, std::shared_ptr<bool> alive)
{
    QTimer::singleShot(10, qApp, [=] {
        if (!*alive)
            return;
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->objectName() == name) {
            *ran = true;
            action(modal);
            // The window the action left open is closed, so the caller's exec returns; a later
            // window of the same name is another driver's business.
            QTimer::singleShot(0, qApp, [window = QPointer<QWidget>(modal)] {
                if (window && window->isVisible())
                    window->close();
            });
            return;
        }
        if (deadline.hasExpired()) {
            if (modal)
                modal->close();
            return;
        }
        poll(name, action, deadline, ran, alive);
    });
}
} // namespace

ModalDriver::ModalDriver(const QString &objectName, std::function<void(QWidget *)> action, int timeoutMs)
    : m_ran(std::make_shared<bool>(false)), m_alive(std::make_shared<bool>(true))
{
    poll(objectName, action, QDeadlineTimer(timeoutMs), m_ran, m_alive);
}

ModalDriver::~ModalDriver()
{
    *m_alive = false;
}

} // namespace lw::test
