// SPDX-License-Identifier: GPL-3.0-or-later
#include "LwApplication.h"
#include "MessageBoxes.h"
#include "SingleInstance.h"
#include "untDm.h"
#include "untMain.h"
#include "untRpt.h"

int main(int argc, char *argv[])
{
    lw::LwApplication app(argc, argv);
    lw::SingleInstance instance;
    if (!instance.tryAcquire()) {
        lw::PlainMessage(QStringLiteral("程序已经运行!"));
        return 0;
    }
    QApplication::setApplicationName(QStringLiteral("Ledgerwell"));
    lw::Tdm dm;
    lw::TfrmMain frmMain;
    // The declaration windows live in a library above the main window's; wire them here.
    QObject::connect(&frmMain, &lw::TfrmMain::declarationRequested, &frmMain, [&frmMain](int kind) {
        lw::TfrmRpt frmRpt(&frmMain);
        frmRpt.ReportKind = kind;
        frmRpt.exec();
    });
    frmMain.show();
    return app.exec();
}
