#pragma once
#include "core/UrlVerdict.h"

#include <QString>

namespace clipvane {

class Dialogs;
class Shell;

inline constexpr char kNotAWebAddress[] =
    "Only web addresses (starting with http:// or https://) are opened. This entry was not opened:\n";

// Opens a URL with the desktop's default handler. Only a web address is ever handed over: the text is
// normalised as the URL check does, and anything not starting with http:// or https:// is refused with
// a warning. Answers whether the address was handed over.
bool OpenUrlInDefaultBrowser(const QString& text, Shell& shell, Dialogs& dialogs);

} // namespace clipvane
