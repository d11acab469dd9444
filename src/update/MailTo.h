#pragma once
#include <QString>

namespace clipvane {

// "mailto:" + the author's address + "?subject=" + "Clipvane " + version text + " " + edition text.
// Address and subject are percent-encoded as far as a mailto: address needs (blanks, "?", "&", "#",
// "%", line breaks, non-ASCII), so neither can add a header or another recipient.
QString authorMailTo(const QString& authorAddress, const QString& versionText, const QString& editionText);

} // namespace clipvane
