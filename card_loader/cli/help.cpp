#include "help.h"

namespace {

// upload and remove take the same choice of people.
// what is UTF-8 text.
QString credentialHelp(const char* name, const char* what) {
    return QStringLiteral(
               "cardpush %1 [--folder DIR] [--kind kart|sifre] [--person KARTNO]\n"
               "           [--status tumu|aktif|pasif] [--search-in kartno|kartid|ad\n"
               "           --search TEXT] [--grup ID] [--bolum ID] [--gorev ID]\n"
               "           [--servis ID] [--bolge ID] [--firma ID]\n"
               "  %2\n"
               "  --kind: cards (kart, the default) or passwords (sifre). --person: only\n"
               "  the listed person with that card number; otherwise everyone listed. The\n"
               "  list is narrowed as in the window: status (default aktif), search text in\n"
               "  a column (default ad) and the numeric ids of group, department, duty,\n"
               "  service, region and company. The log lines are printed; exit status 2\n"
               "  when an error stopped the run.\n")
        .arg(QLatin1String(name), QString::fromUtf8(what));
}

} // namespace

const ProgramHelp& cardpushHelp() {
    static const ProgramHelp help{
        QStringLiteral("cardpush"),
        QStringLiteral(
            "Usage: cardpush [--folder DIR] [COMMAND [OPTIONS]]\n"
            "\n"
            "cardpush, the credential loader: reads the personnel of the PDKS database\n"
            "(MySQL) and writes their card numbers or passwords onto the terminals chosen in\n"
            "its table terminaller, or removes them. Without a command the window opens.\n"
            "\n"
            "Options:\n"
            "  --folder DIR   read Settings.ini ([Login] Server, Database; [MySql] User,\n"
            "                 Password, Port) from DIR. Without it, the program's own folder\n"
            "                 when that is writable (a portable copy), otherwise\n"
            "                 ~/.local/share/cardpush.\n"
            "  -h, --help     this text; \"cardpush help COMMAND\" or \"cardpush COMMAND\n"
            "                 --help\" shows one command.\n"
            "\n"
            "Commands:\n"
            "  upload     write cards or passwords onto the chosen terminals\n"
            "  remove     remove them from the chosen terminals\n"),
        {
            {QStringLiteral("upload"),
             credentialHelp("upload", "\"Cihaza Yükle\": writes onto every chosen terminal.")},
            {QStringLiteral("remove"),
             credentialHelp("remove", "\"Cihazdan Sil\": removes from every chosen terminal.")},
        }};
    return help;
}
