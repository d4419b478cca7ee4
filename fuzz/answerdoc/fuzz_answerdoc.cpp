// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as the bureau's enterprise answer: the login dialog's version and verdict read and the
// import's full read end in values or an XmlError, never a crash.
#include "ExchangeDoc.h"
#include "XmlDoc.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        const lw::XmlDoc doc = lw::XmlDoc::fromBytes(bytes);
        const lw::XmlNode root = doc.child(1);
        (void)root.child(1).text();
        (void)root.child(0).text();
        const lw::EnterpriseAnswer answer = lw::ReadEnterpriseAnswer(doc);
        if (answer.enterprise.value(QStringLiteral("jyfw_mc")).size() > 255)
            __builtin_trap();
    } catch (const lw::XmlError &) {
    }
    return 0;
}
