#pragma once
// The fingerprint wipe: deletes the enrollment data of every user of the connected terminal.

class DeviceSession;
class Prompt;

// Refuses with a warning while no link is open. Otherwise asks first, then deletes inside the
// busy/idle wrap: "Tüm datalar silindi..." or "Hata!!!Silinemedi....". True when deleted.
bool wipeAllEnrollments(DeviceSession& session, Prompt& prompt);
