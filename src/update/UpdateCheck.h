#pragma once
#include <QString>

namespace clipvane {

class HostResolver;
class LocalMachine;

inline constexpr char kUnknown[] = "Unknown";
inline constexpr char kChecking[] = "Checking...";
inline constexpr char kUpToDate[] = "Up to date";
inline constexpr char kOutOfDate[] = "Out of date";
inline constexpr char kCheckFailed[] = "Check failed";
inline constexpr char kNoConnection[] =
    "No Internet connection found. Please, connect to the Internet before attemping an update.";
inline constexpr char kDownloadAnyway[] =
    "Your version of Clipvane is up to date. Proceed with the download anyway?";

// The two labels a check leaves: the web version and the status.
struct CheckOutcome {
    QString webVersion;
    QString status;
    bool operator==(const CheckOutcome&) const = default;
};

// Only a web version newer than the local one is "Out of date"; an equal or older one is "Up to date". No
// web version (the fetch failed, no marker, nothing on the version line) is "Unknown" and "Check failed".
// The web version shown keeps only printable characters (others become U+FFFD).
CheckOutcome judgeVersion(const QString& webVersion, const QString& localVersion);

// Part by part at the points, numbers as numbers (1.10 after 1.9), other parts as text, a missing part as
// 0: negative, 0 or positive as a is older than, equal to or newer than b.
int compareVersions(const QString& a, const QString& b);

// The text with every character that is not printable (controls, format and bidirectional marks, line and
// paragraph separators, unpaired surrogates) replaced by U+FFFD.
QString printableVersion(const QString& text);

// Where the maker's pages are, from the web site's address.
struct UpdateAddresses {
    QString updatePage;       // the page holding the published version
    QString updateLog;        // the update log, for people
    QString downloadFolder;   // ends with "/"; the Windows archives
    QString linuxPackagePage; // the page of the Linux package
    QString homePage;

    static UpdateAddresses forSite(const QString& website);
    // What the download button opens: the archive of the edition is a Windows one, so a Linux build
    // opens the page of its package instead.
    QString downloadFor(const QString& editionPackage) const;
};

// "LAN IP Address: " and the first IPv4 address of the machine's host name, or "No. IP Address" when
// the name cannot be read or resolved. Asks the resolver: may block, keep it off the GUI thread.
QString LanAddressText(LocalMachine& machine, HostResolver& resolver);

} // namespace clipvane
