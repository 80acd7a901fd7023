#pragma once
// What the program tells of itself: its version, the maker's help page, homepage and contact
// address, and the version box made of them. The build fills them in from the project version
// and the VISTREL_CONTACT setting.
#include <QString>

struct AppVersionNumber {
    int major;
    int minor;
    int revision;
};

// The project's version: major, minor and patch.
AppVersionNumber AppVersion();

// title, "  version ", major, ".", minor as two digits, " .", revision as four digits
// ("Vistrel  version 1.01 .0000" for 1.1.0).
QString VersionLine(const QString& title, const AppVersionNumber& version);

// The version box's lines joined by CR LF: an empty line, the version line, an empty line, the
// mailto: link and the homepage, an empty line, the rights notice.
QString VersionBoxText();

// The help page: the user guide's path in the program folder, or an address when the setting
// names one ("scheme:...").
QString HelpPageTarget();
QString HomepageAddress();
