// SPDX-License-Identifier: GPL-3.0-or-later
// Drives a real modal window: queue the action before the call that opens the window; it runs
// once a modal widget with that objectName is up. A window that never comes, or one that is
// still open after the action, is closed so the test fails instead of hanging.
#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

namespace lw::test {

class ModalDriver
{
public:
    ModalDriver(const QString &objectName, std::function<void(QWidget *)> action, int timeoutMs = 5000);
    ~ModalDriver();
    // True once the window appeared and the action ran.
    bool ran() const { return *m_ran; }

private:
    std::shared_ptr<bool> m_ran;
    std::shared_ptr<bool> m_alive;
};

} // namespace lw::test
