#include "BrowserChoice.h"

#include "core/Dialogs.h"

#include <QFileInfo>

namespace clipvane {

namespace {

// One separator between the two, whatever slashes a hand-edited preference file put at either end.
QString joinOnDrive(const QString& mountPoint, const QString& relative) {
    QStringView drive(mountPoint);
    while (drive.endsWith(QLatin1Char('/')))
        drive.chop(1);
    QStringView rest(relative);
    while (rest.startsWith(QLatin1Char('/')))
        rest = rest.sliced(1);
    QString path = drive.toString();
    path += QLatin1Char('/');
    path += rest;
    return path;
}

QString fileNamePart(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

} // namespace

bool isStartableProgram(const QString& path) {
    if (!path.startsWith(QLatin1Char('/')))
        return false;
    for (const QStringView segment : QStringView(path).split(QLatin1Char('/'))) {
        if (segment == u"." || segment == u"..")
            return false;
    }
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

BrowserChoice::BrowserChoice(BrowserChoiceContext context)
    : m_context(std::move(context)), m_testUrl(defaultTestUrl(m_context.searchHost)) {}

void BrowserChoice::setRemember(bool remember) {
    if (m_remember == remember)
        return;
    m_remember = remember;
    emit changed();
}

void BrowserChoice::setTestUrl(const QString& url) {
    if (m_testUrl == url)
        return;
    m_testUrl = url;
    emit changed();
}

DriveType BrowserChoice::driveTypeOf(const QString& path) const {
    if (!m_context.drives)
        return DriveType::Unknown;
    const std::optional<DriveMount> drive = driveOfPath(m_context.drives->mounts(), path);
    return drive ? drive->type : DriveType::Unknown;
}

bool BrowserChoice::FormCreate(const QString& iniPath) {
    m_relPath = kSystemDefault;
    m_relBrowser = kSystemDefault;
    m_relTest = false;
    m_browserPath = kSystemDefault;
    m_driveType = DriveType::Fixed;
    emit changed();
    return ReadIniFile(iniPath);
}

bool BrowserChoice::ReadIniFile(const QString& iniPath) {
    const IniFile ini(iniPath);
    if (!ini.exists())
        return false;
    applyStored(readBrowserChoiceOptions(ini, m_context.searchHost));
    return true;
}

void BrowserChoice::applyStored(const BrowserChoiceOptions& o) {
    m_remember = o.rememberBrowser;
    m_currentBrowser = o.browserExeName;
    m_relTest = o.relTest;
    m_relPath = o.relPath;
    m_relBrowser = o.relBrowser;
    m_testUrl = o.testUrl;
    m_browserPath = m_relTest ? rebuiltPath() : m_relPath;
    emit changed();

    if (m_remember)
        SetBrowser();
    else
        Reset();
    if (m_browserPath != kSystemDefault) {
        m_driveType = driveTypeOf(m_browserPath);
        emit changed();
    }
}

QString BrowserChoice::rebuiltPath() const {
    const QString relative = m_relPath + m_relBrowser;
    QString drive = QStringLiteral("/");
    if (m_context.drives) {
        if (const auto d = driveOfPath(m_context.drives->mounts(), m_context.executablePath))
            drive = d->mountPoint;
    }
    const QString onOwnDrive = joinOnDrive(drive, relative);
    if (isStartableProgram(onOwnDrive))
        return onOwnDrive;
    // A browser usually lives on the root file system while the program runs from /home or a stick.
    const QString onRoot = joinOnDrive(QStringLiteral("/"), relative);
    if (isStartableProgram(onRoot))
        return onRoot;
    return onOwnDrive;
}

bool BrowserChoice::choose(const QString& file) {
    const QString path = QFileInfo(file).absoluteFilePath();
    if (!isStartableProgram(path)) {
        m_context.dialogs->message(MessageKind::Warning, QString::fromLatin1(kNotAProgram).arg(file),
                                   Buttons::Ok);
        return false;
    }
    const QString folder = QFileInfo(path).path();
    QString drive = QStringLiteral("/");
    DriveType type = DriveType::Unknown;
    if (m_context.drives) {
        if (const auto d = driveOfPath(m_context.drives->mounts(), path)) {
            drive = d->mountPoint;
            type = d->type;
        }
    }
    QString relative = folder.mid(drive.size());
    while (relative.startsWith(QLatin1Char('/')))
        relative.remove(0, 1);
    if (!relative.isEmpty())
        relative += QLatin1Char('/');

    m_browserPath = path;
    m_relPath = relative;
    m_relBrowser = QFileInfo(path).fileName();
    m_relTest = true;
    m_driveType = type;
    emit changed();
    return true;
}

void BrowserChoice::SetBrowser() {
    if (isStartableProgram(m_browserPath)) {
        m_relTest = true;
        m_currentBrowser = m_relBrowser;
        emit changed();
        return;
    }
    m_relTest = false;
    m_relBrowser = kSystemDefault;
    m_relPath = kSystemDefault;
    m_currentBrowser = kSystemDefault;
    emit changed();
    m_context.dialogs->message(MessageKind::Warning,
                               QString::fromLatin1(kBrowserGoneWarning).arg(fileNamePart(m_browserPath)),
                               Buttons::Ok);
    Reset();
}

void BrowserChoice::Reset() {
    m_relPath = kSystemDefault;
    m_relBrowser = kSystemDefault;
    m_relTest = false;
    m_browserPath = kSystemDefault;
    m_testUrl = defaultTestUrl(m_context.searchHost);
    m_driveType = DriveType::Fixed;
    m_currentBrowser = QStringLiteral("System Default");
    m_remember = false;
    emit changed();
}

BrowserChoiceOptions BrowserChoice::stored() const {
    BrowserChoiceOptions o;
    o.rememberBrowser = m_remember;
    o.browserExeName = m_currentBrowser;
    o.relTest = m_relTest;
    o.relPath = m_relPath;
    o.relBrowser = m_relBrowser;
    o.testUrl = m_testUrl;
    return o;
}

} // namespace clipvane
