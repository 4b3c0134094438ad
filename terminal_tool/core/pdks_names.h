#pragma once
// Users' names from the PDKS database: the person whose card number equals the user number.

#include "pdks_settings.h"

#include <QString>
#include <optional>

class Prompt;

// The connection settings the enrollment window keeps for its whole life.
class PdksNames {
public:
    // Reads Settings.ini ([Login] Server, Database; [MySql] User, Password, Port) into the
    // settings. A step that fails (an unreadable file, a Port that is no whole number) shows
    // "Veritabanına bağlanamadı...." and leaves the rest as set so far; the caller goes on.
    void applySettings(const QString& iniPath, Prompt& prompt);
    const PdksSettings& settings() const { return settings_; }

private:
    PdksSettings settings_;
};

// One connection to the PDKS database, opened by the first look-up on the thread that makes it
// and closed when the object goes. A database that cannot be reached or read throws
// std::runtime_error with the database's own text.
class PdksLookup {
public:
    explicit PdksLookup(const PdksSettings& settings);
    ~PdksLookup();
    PdksLookup(const PdksLookup&) = delete;
    PdksLookup& operator=(const PdksLookup&) = delete;

    // First name, a blank and surname of the first person with this card number.
    std::optional<QString> fullName(const QString& cardNumber);

private:
    PdksSettings settings_;
    QString connectionName_;
    bool opened_ = false;
};
