#include "credential_run.h"

#include "control_codec.h"
#include "prompt.h"
#include "whole_number.h"

#include <QDateTime>
#include <QLocale>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QVariant>

CredentialPerson CredentialPerson::fromRecord(const QSqlRecord& r) {
    const auto text = [&r](const char* column) {
        return r.value(QLatin1String(column)).toString();
    };
    return {text("kartno"), text("isim"), text("kartid"), text("webadres")};
}

namespace {

// A model fetches lazily; a run needs all of it.
void fetchAll(QSqlQueryModel& model) {
    while (model.canFetchMore())
        model.fetchMore();
}

} // namespace

QVector<TerminalValues> chosenTerminals(QSqlQueryModel& qrycihaz) {
    fetchAll(qrycihaz);
    QVector<TerminalValues> rows;
    for (int row = 0; row < qrycihaz.rowCount(); ++row)
        rows.append(terminalValuesFromRecord(qrycihaz.record(row)));
    return rows;
}

QVector<CredentialPerson> credentialPersons(QSqlQueryModel& qryper, PersonScope scope,
                                            int currentRow) {
    QVector<CredentialPerson> persons;
    if (scope == PersonScope::SelectedPerson) {
        if (currentRow >= 0 && currentRow < qryper.rowCount())
            persons.append(CredentialPerson::fromRecord(qryper.record(currentRow)));
        return persons;
    }
    fetchAll(qryper);
    persons.reserve(qryper.rowCount());
    for (int row = 0; row < qryper.rowCount(); ++row)
        persons.append(CredentialPerson::fromRecord(qryper.record(row)));
    return persons;
}

namespace {

enum class Family { Control, Sdk, Other };

// Date in the system's short format and time in its long format, without a time zone.
QString connectionStamp() {
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    const QString timeFormat =
        locale.timeFormat(QLocale::LongFormat).remove(QLatin1Char('t')).trimmed();
    return locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(now.time(), timeFormat);
}

class CredentialRun {
public:
    CredentialRun(const CredentialRequest& request, CredentialDevices& devices, LineSink& memo,
                  Progress& progress)
        : request_(request), devices_(devices), memo_(memo), progress_(progress) {
        devices_.control.setTimeoutMs(devices_.timeoutMs);
    }

    void upload() {
        if (request_.scope == PersonScope::SelectedPerson) {
            forEachTerminal([this] {
                const CredentialPerson person = selectedPerson();
                connect();
                writeCredential(person);
                disconnect();
            });
            return;
        }
        forEachTerminal([this] {
            connect();
            if (family_ == Family::Control && !devices_.control.SetDeviceEnabled(machine_, 0))
                memo_.addLine(label_ + QStringLiteral(" yazma moduna geçemedi."));
            forEachPerson([this](const CredentialPerson& person) { writeCredential(person); });
            if (family_ == Family::Control)
                devices_.control.SetDeviceEnabled(machine_, 1);
            disconnect();
        });
    }

    void remove() {
        const bool selected = request_.scope == PersonScope::SelectedPerson;
        forEachTerminal([this, selected] {
            const bool connected = connect();
            // The selected person's removal asks for write mode even without a link, so an
            // unreachable terminal logs the refusal too.
            if (family_ == Family::Control && (selected || connected) &&
                !devices_.control.SetDeviceEnabled(machine_, 0))
                memo_.addLine(label_ + QStringLiteral(" yazma moduna geçemedi."));
            if (selected)
                deleteCredential(selectedPerson());
            else
                forEachPerson([this](const CredentialPerson& p) { deleteCredential(p); });
            if (family_ == Family::Control)
                devices_.control.SetDeviceEnabled(machine_, 1);
            disconnect();
        });
    }

private:
    template <typename Body> void forEachTerminal(Body body) {
        const auto& terminals = request_.terminals;
        for (qsizetype i = 0; i < terminals.size(); ++i) {
            terminalIndex_ = i;
            personIndex_ = 0;
            readTerminal(terminals[i]);
            try {
                body();
            } catch (...) {
                // A terminal left in write mode records no attendance: give it back before the
                // error ends the run.
                releaseTerminal();
                throw;
            }
            reportProgress((i + 1) * perTerminal());
        }
    }

    template <typename Step> void forEachPerson(Step step) {
        for (const CredentialPerson& person : request_.persons) {
            step(person);
            ++personIndex_;
            reportProgress(terminalIndex_ * perTerminal() + personIndex_);
        }
    }

    // Progress counts persons in the listed scope, terminals otherwise.
    qint64 perTerminal() const {
        return request_.scope == PersonScope::Listed ? std::max<qint64>(1, request_.persons.size())
                                                     : 1;
    }
    void reportProgress(qint64 done) {
        progress_.step(done, request_.terminals.size() * perTerminal());
    }

    CredentialPerson selectedPerson() const {
        return request_.persons.isEmpty() ? CredentialPerson{} : request_.persons.first();
    }

    QString credentialOf(const CredentialPerson& person) const {
        return request_.kind == CredentialKind::Card ? person.kartid : person.webadres;
    }

    void readTerminal(const TerminalValues& row) {
        terminal_ = row;
        if (terminal_.cihaztipi == kSelvanoNorvi)
            family_ = Family::Control;
        else if (terminal_.cihaztipi == kSelvanoR)
            family_ = Family::Sdk;
        else
            family_ = Family::Other;
        inHand_ = false;
        machine_ = wholeNumber(terminal_.deviceNum);
        label_ = terminalLabel(terminal_);
    }

    bool connect() {
        bool connected = false;
        if (family_ == Family::Control) {
            const qint32 port = wholeNumber(terminal_.port);
            const qint32 password = wholeNumber(terminal_.commPassword);
            QString ip = terminal_.source;
            inHand_ = true;
            connected = devices_.control.OpenTcpLink(machine_, ip, port, password);
        } else if (family_ == Family::Sdk) {
            auto& connection = devices_.sdkConnection;
            if (connection)
                connection->CloseConnection();
            DevicePtr device = CoDevice();
            connection = std::make_unique<TZd2911DeviceConnection>();
            inHand_ = true;
            ConfigureDevice(*device, terminal_);
            device->TimeoutMs = devices_.timeoutMs;
            connected = connection->OpenConnection(*device) > 0;
        } else {
            return false;
        }
        if (connected)
            label_ += QStringLiteral(" Terminale bağlandı.") + connectionStamp();
        else
            memo_.addLine(label_ + QStringLiteral(" HATA!!!..Terminal Bağlantısı Kurulamadı...."));
        return connected;
    }

    void disconnect() {
        if (family_ == Family::Control)
            devices_.control.CloseLink();
        else if (family_ == Family::Sdk)
            devices_.sdkConnection->CloseConnection();
        inHand_ = false;
    }

    void releaseTerminal() {
        if (!inHand_)
            return;
        if (family_ == Family::Control)
            devices_.control.SetDeviceEnabled(machine_, 1);
        disconnect();
    }

    QString personLine(const CredentialPerson& p, const QString& ending, bool withIp = true) const {
        return p.kartno + QLatin1Char(' ') + p.isim +
               (withIp ? QLatin1Char(' ') + terminal_.source : QString()) + ending;
    }

    QString errorLine(const CredentialPerson& p) {
        qint32 code = 0;
        devices_.control.ReadLastError(code);
        return QStringLiteral("--> ") + p.kartno + QLatin1Char(' ') + p.isim +
               QStringLiteral(" (Error code:") + QString::number(code) + QLatin1Char(')');
    }

    qint32 backupNumber() const { return request_.kind == CredentialKind::Card ? 11 : 15; }

    bool sdkLinked() const { return devices_.sdkConnection && devices_.sdkConnection->IsOpen(); }

    // The SDK user whose first enroll object names the person's enrollment number: kartno
    // trimmed and read as a whole number, so leading zeros drop.
    static UserPtr sdkUser(const CredentialPerson& person) {
        UserPtr user = CoUserExt();
        user->EnrollNumber = QString::number(wholeNumber(person.kartno.trimmed()));
        user->Enrolls[0].EnrollNumber = user->EnrollNumber;
        return user;
    }

    // One SDK user-data action (code 7) on the connection in hand; false without a link.
    bool sdkAction(const char* action, IUserExt& user) {
        ByteVector extraProperty = TZd2911Tools::ValueToBytes(QLatin1String(action), 3);
        ByteVector extraData = NewByteVector(6);
        return sdkLinked() &&
               devices_.sdkConnection->SetUserData(7, extraProperty, user, extraData);
    }

    void writeCredential(const CredentialPerson& person) {
        const QString credential = credentialOf(person);
        if (credential.isEmpty())
            memo_.addLine(QStringLiteral(" kart/sifre boş."));
        else if (family_ == Family::Control)
            WriteCredentialByControl(person, credential);
        else if (family_ == Family::Sdk)
            WriteCredentialBySdk(person, credential);
    }

    void deleteCredential(const CredentialPerson& person) {
        if (family_ == Family::Control)
            DeleteCredentialByControl(person);
        else if (family_ == Family::Sdk)
            DeleteCredentialBySdk(person);
    }

    void WriteCredentialByControl(const CredentialPerson& person, const QString& credential) {
        const qint32 enrollNumber = wholeNumber(person.kartno);
        qint32 value = wholeNumber(credential);
        if (request_.kind == CredentialKind::Password) {
            const auto encoded = control::passwordValue(credential);
            if (!encoded)
                throw std::runtime_error(QStringLiteral("'%1' is not a valid password value")
                                             .arg(credential)
                                             .toStdString());
            value = *encoded;
        }
        TSBXPC& control = devices_.control;
        if (!control.SetDeviceEnabled(machine_, 0)) {
            memo_.addLine(personLine(person, QStringLiteral(" error")));
            return;
        }
        if (control.WriteEnrollment(machine_, enrollNumber, machine_, backupNumber(), 0,
                                    devices_.enrollData, value))
            memo_.addLine(personLine(person, QStringLiteral(" ok")));
        else
            memo_.addLine(errorLine(person));
        control.SetDeviceEnabled(machine_, 1);
    }

    void WriteCredentialBySdk(const CredentialPerson& person, const QString& credential) {
        const bool card = request_.kind == CredentialKind::Card;
        UserPtr user = sdkUser(person);
        if (card)
            user->Enrolls[0].CardNumber = credential.trimmed();
        else
            user->Enrolls[0].Password = credential.trimmed();
        const bool stored = sdkAction(card ? "7" : "4", *user);
        memo_.addLine(
            personLine(person, stored ? QStringLiteral(" ok") : QStringLiteral(" set card: Fail")));
    }

    void DeleteCredentialByControl(const CredentialPerson& person) {
        const qint32 enrollNumber = wholeNumber(person.kartno);
        if (devices_.control.RemoveEnrollment(machine_, enrollNumber, machine_, backupNumber()))
            memo_.addLine(personLine(person, QStringLiteral(" CİHAZDAN SİLİNDİ"), false));
        else
            memo_.addLine(errorLine(person));
    }

    void DeleteCredentialBySdk(const CredentialPerson& person) {
        UserPtr user = sdkUser(person);
        const bool removed = sdkAction(request_.kind == CredentialKind::Card ? "8" : "5", *user);
        memo_.addLine(personLine(person, removed ? QStringLiteral(" silindi")
                                                 : QStringLiteral(" hata silinemdi!!")));
    }

    const CredentialRequest& request_;
    CredentialDevices& devices_;
    LineSink& memo_;
    Progress& progress_;

    TerminalValues terminal_; // the terminal in hand, values trimmed
    Family family_ = Family::Other;
    qint32 machine_ = 0;
    QString label_;
    bool inHand_ = false;
    qsizetype terminalIndex_ = 0;
    qsizetype personIndex_ = 0;
};

template <typename Run> RunOutcome runReportingErrors(Prompt& prompt, LineSink& memo, Run run) {
    memo.clear();
    try {
        run();
        return RunOutcome::Finished;
    } catch (const std::exception& e) {
        prompt.error(QString::fromStdString(e.what()));
    }
    return RunOutcome::Stopped;
}

} // namespace

RunOutcome uploadCredentials(const CredentialRequest& request, CredentialDevices& devices,
                             Prompt& prompt, LineSink& memo, Progress& progress) {
    CredentialRun run(request, devices, memo, progress);
    return runReportingErrors(prompt, memo, [&run] { run.upload(); });
}

RunOutcome removeCredentials(const CredentialRequest& request, CredentialDevices& devices,
                             Prompt& prompt, LineSink& memo, Progress& progress) {
    CredentialRun run(request, devices, memo, progress);
    return runReportingErrors(prompt, memo, [&run] { run.remove(); });
}
