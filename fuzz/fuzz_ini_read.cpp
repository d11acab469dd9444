// The preference reader: any file is read without a fault, and what it holds reads the same again.
#include "FuzzSupport.h"
#include "prefs/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = fuzz::scratchFile(QStringLiteral("read.ini"));
    fuzz::writeFile(path, fuzz::bytesOf(data, size));
    const clipvane::IniFile ini(path);
    for (const QString& section :
         {QStringLiteral("S"), QStringLiteral("Navigation"), QStringLiteral("On line")}) {
        const QString text = ini.readString(section, u"k", QStringLiteral("default"));
        FUZZ_CHECK(text.size() <= clipvane::IniFile::kMaxTextLength || text == QStringLiteral("default"));
        (void)ini.readInteger(section, u"Top", 7);
        (void)ini.readBool(section, u"Test URL", true);
    }
    FUZZ_CHECK(clipvane::IniFile(path).text() == ini.text());
    return 0;
}
