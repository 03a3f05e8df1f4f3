#include "profile/install_request.h"

#include "profile/profile_line.h"

namespace profile {

InstallRequest requestFrom(const std::vector<std::string>& profileParts, const NameParts& copy,
                           const UserChoice& choice) {
    const InstallProfile profile = fromParts(profileParts);
    InstallRequest request;
    request.mode = choice.mode;
    request.address = profile.printerAddress;
    if (auto address = copy.nonEmpty(1)) {
        request.address = *address;
        request.addressFrom = Origin::CopyName;
    }
    if (choice.address && *choice.address != request.address) {
        request.address = *choice.address;
        request.addressFrom = Origin::Typed;
    }
    request.printerName = profile.printerName;
    request.model = profile.modelName;
    request.infFile = profile.infFile;
    request.flags = profile.optionFlags;
    request.copyName = copy.nonEmpty(2);
    if (choice.packageName) {
        request.printerName = *choice.packageName;
        request.copyName.reset();
    }
    if (choice.printerName && !choice.printerName->empty())
        request.typedName = choice.printerName;
    request.unattended = choice.unattended;
    return request;
}

}  // namespace profile
