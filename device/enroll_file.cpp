#include "sdk.h"

// Placeholder bodies until the enroll-file format lands.

bool TZd2911EnrollFile::SaveAllEnrolls(const QString&, const std::vector<UserPtr>&) {
    return false;
}
bool TZd2911EnrollFile::LoadAllEnrolls(const QString&, std::vector<UserPtr>&) {
    return false;
}
bool TZd2911EnrollFile::SaveOneEnroll(const QString&, const IUserExt&) {
    return false;
}
bool TZd2911EnrollFile::LoadOneEnroll(const QString&, IUserExt&) {
    return false;
}
