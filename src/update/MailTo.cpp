#include "MailTo.h"

#include <QByteArray>

namespace clipvane {

namespace {

// What a mailto: address may carry unencoded besides letters, digits and "-._~".
const QByteArray kSomeDelims = QByteArrayLiteral("!$'()*+,;:@");

QString encoded(const QString& text) {
    return QString::fromLatin1(text.toUtf8().toPercentEncoding(kSomeDelims));
}

} // namespace

QString authorMailTo(const QString& authorAddress, const QString& versionText, const QString& editionText) {
    const QString subject = QStringLiteral("Clipvane ") + versionText + QLatin1Char(' ') + editionText;
    return QStringLiteral("mailto:") + encoded(authorAddress) + QStringLiteral("?subject=") +
           encoded(subject);
}

} // namespace clipvane
