// SPDX-License-Identifier: GPL-3.0-or-later
// Filing a declaration: the form on screen, loaded and saved, becomes its kind's upload document
// under tmp/, is sent to the bureau and the bureau's answer is reported.
#pragma once

namespace lw {

class TfrmRpt;

// The upload button of the declaration window.
void UploadDeclaration(TfrmRpt &window);

} // namespace lw
