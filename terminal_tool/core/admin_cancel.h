#pragma once
// Administrator cancel: lists the terminal's users into the scratch table ENROLLINFO, then
// deletes (as whole users) those with privilege 2 ("Super user") or 8 ("View user").

#include <QSqlDatabase>

class DeviceSession;
class Prompt;

// dataDb: a connection to Data.db opened on the calling thread. Asks before deleting, naming
// how many users will go; "Tüm Yöneticiler İptal Edildi...." when at least one deletion
// succeeded. Returns the number of users deleted. A database error throws
// std::runtime_error; the idle status has been sent by then.
int cancelAdministrators(DeviceSession& session, QSqlDatabase dataDb, Prompt& prompt);
