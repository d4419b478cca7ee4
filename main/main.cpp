// SPDX-License-Identifier: GPL-3.0-or-later
#include "Filing.h"
#include "LwApplication.h"
#include "MessageBoxes.h"
#include "SingleInstance.h"
#include "untDm.h"
#include "untMain.h"
#include "UntHhrqk.h"
#include "untPsn.h"
#include "untStartup.h"
#include "untRpt.h"
#include "untSbjl.h"

// The windows opened from the main window live in libraries above the main window's.
static void wireWindows(lw::TfrmMain &frmMain)
{
    QObject::connect(&frmMain, &lw::TfrmMain::declarationRequested, &frmMain, [&frmMain](int kind) {
        lw::TfrmRpt frmRpt(&frmMain);
        frmRpt.ReportKind = kind;
        frmRpt.exec();
    });
    auto openEnterprise = [&frmMain] {
        lw::TfrmPsn frmPsn(&frmMain);
        frmPsn.exec();
    };
    QObject::connect(&frmMain, &lw::TfrmMain::enterpriseWindowRequested, &frmMain, openEnterprise);
    lw::SetEnterpriseWindowOpener(openEnterprise);
    QObject::connect(&frmMain, &lw::TfrmMain::filingRecordRequested, &frmMain, [&frmMain] {
        lw::TfrmSbjl frmSbjl(&frmMain);
        frmSbjl.exec();
    });
    QObject::connect(&frmMain, &lw::TfrmMain::partnershipTablesRequested, &frmMain,
                     [&frmMain](int tableKind, const QString &caption) {
                         lw::Tfrmhhrqk frmhhrqk(&frmMain);
                         frmhhrqk.TableKind = tableKind;
                         frmhhrqk.setWindowTitle(caption);
                         frmhhrqk.exec();
                     });
}

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
    wireWindows(frmMain);
    lw::InstallFilingProcedures();
    frmMain.show();
    return app.exec();
}
