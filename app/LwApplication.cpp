// SPDX-License-Identifier: GPL-3.0-or-later
#include "LwApplication.h"

#include "MessageBoxes.h"

#include <exception>

namespace lw {

LwApplication::LwApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool LwApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        ShowUnhandledError(QString::fromUtf8(e.what()));
    } catch (...) {
        ShowUnhandledError(QStringLiteral("未知错误"));
    }
    return false;
}

} // namespace lw
