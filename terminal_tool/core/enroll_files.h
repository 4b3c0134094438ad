#pragma once
// Enrollment data in files the user chooses: one fingerprint template, a whole set of users,
// or one file per user in the program folder's userdata folder.

#include "enroll_work.h"

#include <QString>

class EnrollRowFiller;
class Prompt;

class EnrollFiles {
public:
    // programFolder ends with a separator; the dialogs start there.
    EnrollFiles(EnrollState& state, EnrollRowView& rows, Prompt& prompt,
                const QString& programFolder);

    static QString fingerprintFilter() { return QStringLiteral("Fingerprint File(*.fpt)"); }
    // The file dialogs match patterns without regard to letter case, so OD_12.db is offered.
    static QString oneEnrollFilter() { return QStringLiteral("OneEnrollData File(OD_*.DB)"); }
    // ".fpt" appended unless the name holds it already (letter case counts).
    static QString completeFptName(const QString& name);

    // False when cancelled. A file that cannot be written throws std::runtime_error.
    bool saveFingerprint();
    // False when cancelled. A file shorter than a template fills the rest with zeros and says
    // so; a file that cannot be read throws std::runtime_error and keeps the buffer.
    bool openFingerprint();

    bool saveAll();
    bool openAll(EnrollRowFiller& rows);
    bool saveOne();
    bool openOne(EnrollRowFiller& rows);
    void selectAll() { rows_.tickAll(); }

    QString userDataFolder() const;

private:
    EnrollState& state_;
    EnrollRowView& rows_;
    Prompt& prompt_;
    QString programFolder_;
};
