#pragma once
// What one install does, decided before the first change: built once from the profile, the
// running program's file name and what the user chose, so the install never reads a window.

#include <optional>
#include <string>
#include <vector>

#include "profile/copy_name_parts.h"

namespace profile {

enum class InstallMode { Printer, Share, Usb };

// Where a value of the request came from.
enum class Origin { Profile, CopyName, Typed };

// What the user chose in the windows for the install that follows them.
struct UserChoice {
    InstallMode mode = InstallMode::Printer;
    // The address confirmed in the main window: it is what is installed, over the profile's
    // and a copy's own.
    std::optional<std::string> address;
    // A printer name typed over the one shown: the notice shows it and the printer is renamed
    // to it.
    std::optional<std::string> printerName;
    // The command line's printer name: the name installed under, over the profile's and a
    // copy's own.
    std::optional<std::string> packageName;
    // Nobody is at the screen: nothing may be asked, and no window opened for the user.
    bool unattended = false;
};

struct InstallRequest {
    InstallMode mode = InstallMode::Printer;
    std::string address;
    Origin addressFrom = Origin::Profile;
    // The name the driver step installs under: the profile's.
    std::string printerName;
    std::string model;
    std::string infFile;
    std::string flags;
    // A copy's own printer name, then a typed one: each is shown, and renamed to after the
    // install.
    std::optional<std::string> copyName;
    std::optional<std::string> typedName;
    bool unattended = false;
};

// From a profile line split whole (one that profile::damageOf passes), the copy's name parts
// and the user's choice.
InstallRequest requestFrom(const std::vector<std::string>& profileParts, const NameParts& copy,
                           const UserChoice& choice);

}  // namespace profile
