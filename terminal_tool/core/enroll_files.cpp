#include "enroll_files.h"

#include "prompt.h"
#include "whole_transfer.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <stdexcept>

namespace {

std::runtime_error fileError(const QFile& file) {
    return std::runtime_error(
        QStringLiteral("%1: %2").arg(file.fileName(), file.errorString()).toStdString());
}

} // namespace

EnrollFiles::EnrollFiles(EnrollState& state, EnrollRowView& rows, Prompt& prompt,
                         const QString& programFolder)
    : state_(state), rows_(rows), prompt_(prompt), programFolder_(programFolder) {}

QString EnrollFiles::completeFptName(const QString& name) {
    return name.contains(QStringLiteral(".fpt")) ? name : name + QStringLiteral(".fpt");
}

QString EnrollFiles::userDataFolder() const {
    return programFolder_ + QStringLiteral("userdata/");
}

bool EnrollFiles::saveFingerprint() {
    const QString name = prompt_.saveFileName(programFolder_, QString(), fingerprintFilter());
    if (name.isEmpty())
        return false;
    QFile file(completeFptName(name));
    const QByteArray bytes(reinterpret_cast<const char*>(state_.fingerprint.data()),
                           static_cast<qsizetype>(state_.fingerprint.size()));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size() || !file.flush())
        throw fileError(file);
    return true;
}

bool EnrollFiles::openFingerprint() {
    const QString name = prompt_.openFileName(programFolder_, fingerprintFilter());
    if (name.isEmpty())
        return false;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        throw fileError(file);
    const QByteArray bytes = file.read(FingerprintTemplateSize);
    if (bytes.isEmpty() && file.error() != QFileDevice::NoError)
        throw fileError(file);
    ByteVector buffer = NewByteVector(FingerprintTemplateSize);
    std::copy(bytes.begin(), bytes.end(), buffer.begin());
    state_.fingerprint = buffer;
    if (bytes.size() < FingerprintTemplateSize)
        prompt_.warning(QStringLiteral("Parmak izi dosyası %1 bayt, %2 bayttan kısa: eksik "
                                       "kısım sıfırla dolduruldu.")
                            .arg(bytes.size())
                            .arg(FingerprintTemplateSize));
    return true;
}

bool EnrollFiles::saveAll() {
    const QString name = prompt_.saveFileName(programFolder_, QStringLiteral("AllEnrollData.fpt"),
                                              fingerprintFilter());
    if (name.isEmpty())
        return false;
    const bool ok = TZd2911EnrollFile::SaveAllEnrolls(completeFptName(name), state_.wholeSet);
    prompt_.message(ok ? QStringLiteral("save all enroll success")
                       : QStringLiteral("save all enroll fail"));
    return ok;
}

bool EnrollFiles::openAll(EnrollRowFiller& rows) {
    const QString name = prompt_.openFileName(programFolder_, fingerprintFilter());
    if (name.isEmpty())
        return false;
    if (!TZd2911EnrollFile::LoadAllEnrolls(name, state_.wholeSet)) {
        prompt_.message(QStringLiteral("open all enroll fail"));
        return false;
    }
    state_.loadedUsers = state_.wholeSet;
    rows_.clearRows();
    for (const UserPtr& user : state_.loadedUsers)
        rows.addRow(*user);
    prompt_.message(QStringLiteral("open all enroll success"));
    return true;
}

bool EnrollFiles::saveOne() {
    const QString folder = userDataFolder();
    if (!QDir().mkpath(folder))
        throw std::runtime_error(
            QStringLiteral("%1: klasör oluşturulamadı").arg(folder).toStdString());
    // Every refused save counts: the closing message means that all of them were written.
    bool allSaved = true;
    for (int row = 0; row < rows_.rowCount(); ++row) {
        if (!rows_.isTicked(row))
            continue;
        const QString userId = rows_.text(row, ColUserId);
        for (const UserPtr& user : state_.loadedUsers) {
            if (user->EnrollNumber != userId)
                continue;
            if (!TZd2911EnrollFile::SaveOneEnroll(folder + QStringLiteral("OD_") +
                                                      user->EnrollNumber + QStringLiteral(".db"),
                                                  *user)) {
                prompt_.message(QStringLiteral("save one enroll to file fail"));
                allSaved = false;
                break;
            }
        }
    }
    if (allSaved)
        prompt_.message(QStringLiteral("save one enroll to file success"));
    return allSaved;
}

bool EnrollFiles::openOne(EnrollRowFiller& rows) {
    const QStringList names = prompt_.openFileNames(userDataFolder(), oneEnrollFilter());
    if (names.isEmpty())
        return false;
    state_.loadedUsers.clear();
    state_.loadedUsers.reserve(static_cast<std::size_t>(names.size()));
    for (const QString& name : names) {
        const UserPtr user = CoUserExt();
        if (!TZd2911EnrollFile::LoadOneEnroll(name, *user)) {
            prompt_.message(QStringLiteral("open one enroll file fail"));
            return false;
        }
        state_.loadedUsers.push_back(user);
    }
    rows_.clearRows();
    for (const UserPtr& user : state_.loadedUsers)
        rows.addRow(*user);
    prompt_.message(QStringLiteral("open one enroll file success"));
    return true;
}
