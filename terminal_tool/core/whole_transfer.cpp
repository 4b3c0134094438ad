#include "whole_transfer.h"

#include "prompt.h"

#include <QFileInfo>

namespace {

constexpr int CardNumberWidth = 5;
constexpr int UserNameLength = 12;

QString yesNo(bool value) {
    return value ? QStringLiteral("Y") : QStringLiteral("N");
}

} // namespace

EnrollRowFiller::EnrollRowFiller(EnrollRowView& rows, LineSink& memo1, const PdksSettings* names)
    : rows_(rows), memo1_(memo1), names_(names) {}

EnrollRowFiller::~EnrollRowFiller() = default;

PdksLookup& EnrollRowFiller::lookup() {
    if (!lookup_)
        lookup_ = std::make_unique<PdksLookup>(*names_);
    return *lookup_;
}

QStringList EnrollRowFiller::rowColumns(int serial, const IUserExt& user) {
    const int kinds = user.Enrolls.empty() ? 0 : user.Enrolls.front().EnrollKinds;
    QStringList columns = {QString::number(serial), user.EnrollNumber, user.UserName};
    for (int k = 0; k < FingerSlotCount; ++k)
        columns << yesNo(TZd2911Tools::HasEnrollKind(kinds, k));
    columns << yesNo(TZd2911Tools::HasEnrollKind(kinds, KindPassword))
            << yesNo(TZd2911Tools::HasEnrollKind(kinds, KindCard)) << PrivilegeName(user.Privilege);
    return columns;
}

void EnrollRowFiller::addRow(IUserExt& user) {
    if (names_) {
        const auto name = lookup().fullName(PadLeftZeros(user.EnrollNumber, CardNumberWidth));
        if (name)
            user.UserName = name->left(UserNameLength);
    }
    rows_.addRow(rowColumns(rows_.rowCount() + 1, user));
    memo1_.addLine(user.EnrollNumber + QLatin1Char(' ') + user.UserName);
}

void EnrollRowFiller::namesIntoRows() {
    if (!names_)
        return;
    for (int row = 0; row < rows_.rowCount(); ++row) {
        const auto name =
            lookup().fullName(PadLeftZeros(rows_.text(row, ColUserId), CardNumberWidth));
        if (name)
            rows_.setText(row, ColUserName, *name);
    }
}

WholeTransfer::WholeTransfer(DeviceSession& session, EnrollState& state, EnrollRowView& rows,
                             LineSink& memo1, Prompt& prompt, PdksNames& pdksNames,
                             bool lookUpNames)
    : session_(session), state_(state), rows_(rows), memo1_(memo1), prompt_(prompt),
      pdksNames_(pdksNames), lookUpNames_(lookUpNames) {}

std::unique_ptr<EnrollRowFiller> WholeTransfer::filler() {
    return std::make_unique<EnrollRowFiller>(rows_, memo1_,
                                             lookUpNames_ ? &pdksNames_.settings() : nullptr);
}

bool WholeTransfer::listRead(const QString& enrollNumber, ByteVector& extraProperty,
                             ByteVector& extraData) {
    extraProperty = TZd2911Tools::EnrollNumberToBytes(enrollNumber);
    return session_.connection().GetDeviceData(CodeUserList, extraProperty, session_.device(),
                                               extraData);
}

bool WholeTransfer::readDetails(const std::vector<UserPtr>& users, EnrollRowFiller& rows,
                                ByteVector& extraProperty, ByteVector& extraData,
                                const QString& failure) {
    for (const UserPtr& user : users) {
        if (!session_.connection().GetUserData(CodeUserDetail, extraProperty, *user, extraData)) {
            prompt_.message(failure);
            return false;
        }
        rows.addRow(*user);
    }
    return true;
}

bool WholeTransfer::receiveAll(const QString& backupPath, const QString& settingsPath) {
    if (lookUpNames_)
        pdksNames_.applySettings(settingsPath, prompt_);
    ByteVector extraProperty = NewByteVector(2);
    ByteVector extraData = NewByteVector(6);
    memo1_.clear();
    return runWithDeviceWork(session_, extraProperty, prompt_, [&] {
        if (!listRead(QStringLiteral("0"), extraProperty, extraData)) {
            prompt_.message(QStringLiteral("[get all enroll: Fail] HATA!!!!data alınamadı.."));
            return false;
        }
        state_.wholeSet = TZd2911Tools::BytesToUsers(extraData);
        state_.loadedUsers = state_.wholeSet;
        // The detail reads do not use the list answer; sending it along with every one of them
        // would make the traffic grow with the square of the user count.
        extraData = NewByteVector(6);
        rows_.clearRows();
        const auto rows = filler();
        // Users after a refused detail read would go into the file without their fingerprints;
        // such a set must not take the place of the last good backup. A complete one replaces
        // it only once written and on disk (the enroll file writes through a temporary file).
        const bool complete = readDetails(state_.loadedUsers, *rows, extraProperty, extraData,
                                          QStringLiteral("Get all enroll data fail"));
        const bool saved =
            complete && TZd2911EnrollFile::SaveAllEnrolls(backupPath, state_.wholeSet);
        prompt_.message(saved ? QStringLiteral("Tüm data alındı....")
                              : QStringLiteral("HATA!!!!data alınamadı.."));
        return saved;
    });
}

bool WholeTransfer::loadBackup(const QString& backupPath) {
    memo1_.clear();
    if (!QFileInfo::exists(backupPath)) {
        prompt_.message(QStringLiteral("Önce cihazdan tüm datayı alınız...."));
        return false;
    }
    if (!TZd2911EnrollFile::LoadAllEnrolls(backupPath, state_.wholeSet)) {
        prompt_.message(QStringLiteral("[open all enroll fail], dosya okunamadı.."));
        return false;
    }
    state_.loadedUsers = state_.wholeSet;
    rows_.clearRows();
    const auto rows = filler();
    for (const UserPtr& user : state_.loadedUsers)
        rows->addRow(*user);
    rows_.tickAll();
    return true;
}

bool WholeTransfer::writeTickedRows() {
    ByteVector extraProperty = NewByteVector(2);
    ByteVector extraData = NewByteVector(6);
    return runWithDeviceWork(session_, extraProperty, prompt_, [&] {
        // Every refused write counts: the closing message means that all of them went through.
        bool allWritten = true;
        for (int row = 0; row < rows_.rowCount(); ++row) {
            if (!rows_.isTicked(row))
                continue;
            const QString userId = rows_.text(row, ColUserId);
            for (const UserPtr& user : state_.loadedUsers) {
                if (user->EnrollNumber != userId)
                    continue;
                if (!session_.connection().SetUserData(CodeUserDetail, extraProperty, *user,
                                                       extraData)) {
                    prompt_.message(QStringLiteral("set all enroll data fail"));
                    allWritten = false;
                    break;
                }
            }
        }
        if (allWritten)
            prompt_.message(QStringLiteral("Tüm data cihaza yüklendi..."));
        return allWritten;
    });
}

bool WholeTransfer::listOnly() {
    ByteVector extraProperty = NewByteVector(2);
    ByteVector extraData = NewByteVector(6);
    return runWithDeviceWork(session_, extraProperty, prompt_, [&] {
        ByteVector allUsers = TZd2911Tools::EnrollNumberToBytes(QStringLiteral("0"));
        if (!session_.connection().GetDeviceData(CodeUserList, allUsers, session_.device(),
                                                 extraData)) {
            prompt_.message(QStringLiteral("get all enroll: Fail"));
            return false;
        }
        const std::vector<UserPtr> users = TZd2911Tools::BytesToUsers(extraData);
        rows_.clearRows();
        const auto rows = filler();
        for (const UserPtr& user : users)
            rows->addRow(*user);
        return true;
    });
}

bool WholeTransfer::oneUser(const QString& userId) {
    ByteVector extraProperty = NewByteVector(2);
    ByteVector extraData = NewByteVector(6);
    return runWithDeviceWork(session_, extraProperty, prompt_, [&] {
        if (!listRead(trimmedText(userId), extraProperty, extraData)) {
            prompt_.message(QStringLiteral("get user enroll: Fail"));
            return false;
        }
        const std::vector<UserPtr> users = TZd2911Tools::BytesToUsers(extraData);
        extraData = NewByteVector(6);
        rows_.clearRows();
        const auto rows = filler();
        return readDetails(users, *rows, extraProperty, extraData,
                           QStringLiteral("Get enroll data fail"));
    });
}

void WholeTransfer::pdksNamesIntoRows(const QString& settingsPath) {
    pdksNames_.applySettings(settingsPath, prompt_);
    EnrollRowFiller(rows_, memo1_, &pdksNames_.settings()).namesIntoRows();
}
