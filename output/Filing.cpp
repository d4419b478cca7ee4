// SPDX-License-Identifier: GPL-3.0-or-later
#include "Filing.h"

#include "DeclarationUpload.h"
#include "ElectronicFile.h"
#include "untRpt.h"

namespace lw {

void InstallFilingProcedures()
{
    TfrmRpt::SetFilingProcedures(&UploadDeclaration, &WriteElectronicFiles);
}

} // namespace lw
