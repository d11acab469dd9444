// Pictures of the browser choice window and of the drive information window, for the documentation.
// Not a test. Run by hand under an X server, from the source folder:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/default/tests/ui/setbrowser_screenshots docs
#include "AppFixture.h"
#include "FindControl.h"
#include "Screenshots.h"
#include "ui/FixedDriveInfo/DriveInfoWindow.h"
#include "ui/SetBrowser/BrowserChoiceWindow.h"
#include "ui/widgets/Hints.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QTest>
#include <QTextStream>
#include <QToolButton>

using namespace clipvane;
using clipvane::test::ctl;

namespace {

constexpr quint64 MB = 1048576;

bool save(const QPixmap& pixmap, const QString& name) {
    return test::savePicture(pixmap, name);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs");
    QDir().mkpath(out + QStringLiteral("/set-browser"));
    QDir().mkpath(out + QStringLiteral("/drive-info"));

    test::AppFixture f;
    // A laptop: its disk, a USB stick holding a browser, an empty DVD drive, a NAS share and RAM disks.
    const QString stick = f.folder.path();
    f.drives.drives = {{"/", "/dev/nvme0n1p2", "ext4", DriveType::Fixed},
                       {"/boot/efi", "/dev/nvme0n1p1", "vfat", DriveType::Fixed},
                       {"/home", "/dev/nvme0n1p3", "ext4", DriveType::Fixed},
                       {stick, "/dev/sdb1", "vfat", DriveType::Removable},
                       {"", "/dev/sr0", "", DriveType::Optical},
                       {"/mnt/nas", "nas.local:/export/media", "nfs4", DriveType::Remote},
                       {"/dev/shm", "tmpfs", "tmpfs", DriveType::RamDisk},
                       {"/run/user/1000", "tmpfs", "tmpfs", DriveType::RamDisk}};
    f.drives.spaces["/"] = {41236 * MB + 12, 102400 * MB, 36110 * MB};
    f.drives.spaces["/boot/efi"] = {504 * MB, 511 * MB, 504 * MB};
    f.drives.spaces["/home"] = {298117 * MB, 819200 * MB, 256076 * MB};
    f.drives.spaces[stick] = {11630 * MB, 29812 * MB, 11630 * MB};
    f.drives.spaces["/mnt/nas"] = {2840112 * MB, 7630885 * MB, 2840112 * MB};
    f.drives.spaces["/dev/shm"] = {7912 * MB, 7912 * MB, 7912 * MB};
    f.drives.spaces["/run/user/1000"] = {1581 * MB, 1583 * MB, 1581 * MB};
    f.start();

    BrowserChoiceWindow& w = *f.app().browserChoiceWindow();
    QDir(f.folder.path()).mkpath(QStringLiteral("PortableApps/Browser"));
    f.folder.write(QStringLiteral("PortableApps/Browser/browser"), "#!/bin/sh\n");
    const QString browser = f.folder.file(QStringLiteral("PortableApps/Browser/browser"));
    QFile(browser).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    f.dialogs.answerFile({true, browser, 1});
    ctl<QToolButton>(w, "cyBrowserPathOpen")->click();
    ctl<QToolButton>(w, "cySetBrowser")->click();
    ctl<QCheckBox>(w, "CBRememberBrowser")->setChecked(true);
    w.move(40, 40);
    w.show();
    QApplication::setActiveWindow(&w);
    test::settle();
    HintTracker::ShowHintInPanel(ctl<QLabel>(w, "ImageStatus"));
    test::settle();
    if (!save(w.grab(), out + QStringLiteral("/set-browser/set-browser.png")))
        return 1;

    // The seven drive-type pictures side by side, in the order of their codes.
    const QList<QPair<QLabel*, QString>> pictures = {
        {ctl<QLabel>(w, "ImageUNK"), QStringLiteral("Unknown")},
        {ctl<QLabel>(w, "ImageNOR"), QStringLiteral("No Root")},
        {ctl<QLabel>(w, "ImageUSB"), QStringLiteral("Removable")},
        {ctl<QLabel>(w, "ImageHDD"), QStringLiteral("Fixed")},
        {ctl<QLabel>(w, "ImageREM"), QStringLiteral("Remote")},
        {ctl<QLabel>(w, "ImageOPT"), QStringLiteral("Optical")},
        {ctl<QLabel>(w, "ImageRAM"), QStringLiteral("RAM disk")}};
    const int cell = 84;
    QPixmap sheet(cell * int(pictures.size()), 76);
    sheet.fill(w.palette().window().color());
    QPainter p(&sheet);
    p.setPen(w.palette().windowText().color());
    for (int i = 0; i < pictures.size(); ++i) {
        const QPixmap px = pictures[i].first->pixmap();
        p.drawPixmap(i * cell + (cell - px.width()) / 2, 10, px);
        p.drawText(QRect(i * cell, 48, cell, 22), Qt::AlignCenter, pictures[i].second);
    }
    p.end();
    if (!save(sheet, out + QStringLiteral("/set-browser/drive-pictures.png")))
        return 1;

    // The stick as a desktop mounts it (its files served the browser's choice above).
    f.drives.drives[3].mountPoint = QStringLiteral("/media/anna/STICK");
    f.drives.spaces[QStringLiteral("/media/anna/STICK")] = f.drives.spaces.take(stick);
    ctl<QToolButton>(w, "cyDriveInfo")->click();
    DriveInfoWindow& d = *f.app().driveInfoWindow();
    d.move(40, 440);
    test::settle();
    if (!save(d.grab(), out + QStringLiteral("/drive-info/drive-info.png")))
        return 1;
    return 0;
}
