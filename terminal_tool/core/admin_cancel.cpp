#include "admin_cancel.h"

#include "device_session.h"
#include "prompt.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <stdexcept>

namespace {

constexpr int kEnrollCode = 14;

void exec(QSqlQuery& query, const QString& statement) {
    if (!query.exec(statement))
        throw std::runtime_error(query.lastError().text().toStdString());
}

// Steps 5 and 6: every user of the terminal becomes one ENROLLINFO row.
void listUsers(DeviceSession& session, QSqlDatabase& dataDb, ByteVector& extraProperty,
               ByteVector& extraData, Prompt& prompt) {
    extraProperty = TZd2911Tools::EnrollNumberToBytes(QStringLiteral("0"));
    if (!session.connection().GetDeviceData(kEnrollCode, extraProperty, session.device(),
                                            extraData)) {
        prompt.message(QStringLiteral("get all enroll: Fail"));
        return;
    }
    const std::vector<UserPtr> users = TZd2911Tools::BytesToUsers(extraData);
    QSqlQuery insert(dataDb);
    if (!insert.prepare(
            QStringLiteral("insert into ENROLLINFO (No, EnNo, Fp, Priv) values (?, ?, ?, ?)")))
        throw std::runtime_error(insert.lastError().text().toStdString());
    for (std::size_t i = 0; i < users.size(); ++i) {
        insert.addBindValue(static_cast<int>(i));
        insert.addBindValue(users[i]->EnrollNumber);
        insert.addBindValue(QStringLiteral("1"));
        insert.addBindValue(QString::number(users[i]->Privilege));
        if (!insert.exec())
            throw std::runtime_error(insert.lastError().text().toStdString());
    }
}

// Enroll number 0 (and an empty one) addresses every user of the terminal: such a row must
// never reach the single-user deletion.
bool namesOneUser(const QString& enrollNumber) {
    bool numeric = false;
    const qulonglong value = enrollNumber.toULongLong(&numeric);
    return !enrollNumber.isEmpty() && !(numeric && value == 0);
}

// Names how many users go and, for a short list, which ones.
QString deletionQuestion(const QStringList& enrollNumbers) {
    constexpr int kNamed = 10;
    QString which = enrollNumbers.mid(0, kNamed).join(QStringLiteral(", "));
    if (enrollNumbers.size() > kNamed)
        which += QStringLiteral(", ...");
    return QStringLiteral("%1 yönetici kullanıcı (yetki 2 ve 8) terminalden tamamen silinecek "
                          "(sicil no: %2). Devam edilsin mi?")
        .arg(enrollNumbers.size())
        .arg(which);
}

} // namespace

int cancelAdministrators(DeviceSession& session, QSqlDatabase dataDb, Prompt& prompt) {
    QSqlQuery query(dataDb);
    exec(query, QStringLiteral("delete from ENROLLINFO"));

    ByteVector extraProperty = NewByteVector(2);
    ByteVector extraData = NewByteVector(6);
    if (session.BeginDeviceWork(extraProperty, &prompt)) {
        try {
            listUsers(session, dataDb, extraProperty, extraData, prompt);
        } catch (...) {
            // Do not leave the terminal marked busy behind a failed listing.
            try {
                session.EndDeviceWork(extraProperty, nullptr);
            } catch (const DeviceError&) {
            }
            throw;
        }
        session.EndDeviceWork(extraProperty, &prompt);
    }

    exec(query, QStringLiteral("select * from ENROLLINFO where Priv='2' or Priv='8' "));
    QStringList administrators;
    while (query.next()) {
        const QString enrollNumber = query.value(QStringLiteral("EnNo")).toString().trimmed();
        if (namesOneUser(enrollNumber))
            administrators.append(enrollNumber);
    }
    if (administrators.isEmpty())
        return 0;
    if (!prompt.confirm(deletionQuestion(administrators)))
        return 0;

    int deleted = 0;
    for (const QString& enrollNumber : administrators) {
        if (session.connection().SetDeviceData(kEnrollCode, extraProperty, session.device(),
                                               TZd2911Tools::EnrollNumberToBytes(enrollNumber)))
            ++deleted;
    }
    if (deleted > 0)
        prompt.message(QStringLiteral("Tüm Yöneticiler İptal Edildi...."));
    return deleted;
}
