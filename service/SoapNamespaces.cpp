// SPDX-License-Identifier: GPL-3.0-or-later
// The one definition of the SOAP namespace table that the gSOAP runtime looks up.
#include "soapH.h"

#include "IGrsdsService.nsmap"
