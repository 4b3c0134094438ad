#pragma once
// Writing card numbers or passwords of PDKS personnel onto the chosen terminals ("Cihaza
// Yükle"), and removing them ("Cihazdan Sil"), on both terminal families: "SelvanoNorvi"
// through the terminal control, "SelvanoR" through the terminal SDK. Every outcome is one line
// of Memo5.

#include "control_sbxpc.h"
#include "sdk.h"
#include "terminal_definitions.h"

#include <QString>
#include <QVector>
#include <memory>

class LineSink;
class Progress;
class Prompt;
class QSqlQueryModel;
class QSqlRecord;

enum class CredentialKind { Card, Password };      // "kart", "sifre"
enum class PersonScope { SelectedPerson, Listed }; // "Seçili Personel", "Listedeki personeller"

// One row of the personnel list, as read (not trimmed).
struct CredentialPerson {
    QString kartno;
    QString isim;
    QString kartid;
    QString webadres;
    static CredentialPerson fromRecord(const QSqlRecord& record);
};

// What the main window keeps between runs: the terminal control SBXPC1, the last SDK
// connection object (closed), and the enroll-data buffer passed to every WriteEnrollment.
struct CredentialDevices {
    TSBXPC& control;
    std::unique_ptr<TZd2911DeviceConnection>& sdkConnection;
    std::vector<qint32>& enrollData;
    // Longest wait for a terminal's connection and for each answer.
    int timeoutMs = 5000;
};

// Every row of qrycihaz, first to last, values trimmed.
QVector<TerminalValues> chosenTerminals(QSqlQueryModel& qrycihaz);

// The persons of qryper a run works on: for the selected-person scope the row currentRow (none
// when the list has no such row), for the listed scope every row, first to last.
QVector<CredentialPerson> credentialPersons(QSqlQueryModel& qryper, PersonScope scope,
                                            int currentRow);

struct CredentialRequest {
    QVector<TerminalValues> terminals; // rows of qrycihaz
    // SelectedPerson: the current row of the list, or none when the list is empty.
    // Listed: every row of the list, first to last.
    QVector<CredentialPerson> persons;
    PersonScope scope = PersonScope::SelectedPerson;
    CredentialKind kind = CredentialKind::Card;
};

// How a run ended: every chosen terminal done, or an error stopped it (already shown through
// the prompt; the lines logged before it stay).
enum class RunOutcome { Finished, Stopped };

// The run of "Cihaza Yükle" after qrycihaz has been re-run. Memo5 is emptied first.
RunOutcome uploadCredentials(const CredentialRequest& request, CredentialDevices& devices,
                             Prompt& prompt, LineSink& memo, Progress& progress);

// The run of "Cihazdan Sil" over qrycihaz as last loaded. Memo5 is emptied first.
RunOutcome removeCredentials(const CredentialRequest& request, CredentialDevices& devices,
                             Prompt& prompt, LineSink& memo, Progress& progress);
