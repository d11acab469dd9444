// A preference write followed by a read: the written key reads back, every other key keeps its value,
// and a file that cannot take the write is left exactly as it was.
#include "FuzzSupport.h"
#include "prefs/IniFile.h"

#include <QRegularExpression>

namespace {

// The sections and keys of a file as the reader sees them: every header and every "key=" line under one.
QList<std::pair<QString, QString>> keysOf(const clipvane::IniFile& ini) {
    QList<std::pair<QString, QString>> keys;
    QString section;
    bool inSection = false;
    for (const QString& raw : ini.text().split(QRegularExpression(QStringLiteral("\\r\\n|\\r|\\n")))) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            section = (close < 0 ? line.mid(1) : line.mid(1, close - 1)).trimmed();
            inSection = true;
            continue;
        }
        const qsizetype eq = raw.indexOf(u'=');
        if (inSection && eq > 0) {
            const QString key = raw.left(eq).trimmed();
            if (!key.isEmpty() && !key.startsWith(u';') && !key.startsWith(u'#'))
                keys.append({section, key});
        }
    }
    return keys;
}

// A name made of plain letters, so that the write cannot make a header or a comment of it.
QString nameOf(const QByteArray& bytes) {
    QString name;
    for (char c : bytes)
        name += QChar(u'a' + static_cast<unsigned char>(c) % 26);
    return name.isEmpty() ? QStringLiteral("k") : name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The file, then a section name, a key name and the value, separated by 0x1F.
    const QList<QByteArray> parts = fuzz::bytesOf(data, size).split('\x1F');
    const QByteArray file = parts.value(0);
    const QString section = nameOf(parts.value(1).left(8));
    const QString key = nameOf(parts.value(2).left(8));
    const QString value = QString::fromUtf8(parts.value(3));

    const QString path = fuzz::scratchFile(QStringLiteral("write.ini"));
    fuzz::writeFile(path, file);
    clipvane::IniFile ini(path);
    const auto keys = keysOf(ini);
    QList<std::optional<QString>> before;
    for (const auto& [s, k] : keys)
        before.append(ini.value(s, k));

    if (!ini.writeString(section, key, value)) {
        FUZZ_CHECK(fuzz::readFile(path) == file);
        return 0;
    }
    const clipvane::IniFile after(path);
    QString expected = value;
    expected.replace(QLatin1String("\r\n"), QLatin1String(" "));
    expected.replace(u'\r', u' ');
    expected.replace(u'\n', u' ');
    FUZZ_CHECK(after.value(section, key) == expected);
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const auto& [s, k] = keys[i];
        if (s.compare(section, Qt::CaseInsensitive) == 0 && k.compare(key, Qt::CaseInsensitive) == 0)
            continue;
        FUZZ_CHECK(after.value(s, k) == before[i]);
    }
    return 0;
}
