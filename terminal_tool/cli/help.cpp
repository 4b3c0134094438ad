#include "help.h"

const ProgramHelp& selvanorHelp() {
    static const ProgramHelp help{
        QStringLiteral("selvanor"),
        QStringLiteral(
            "Usage: selvanor [--folder DIR] [COMMAND [OPTIONS]]\n"
            "\n"
            "SelvanoR, the terminal data tool: keeps the list of time terminals, downloads\n"
            "their attendance records into veri.txt and looks after their clocks, bells and\n"
            "users. Without a command the window opens; with one, the command runs without\n"
            "a screen and prints what the window would show.\n"
            "\n"
            "Options:\n"
            "  --folder DIR   work in DIR (created if missing): its Settings.ini, Data.db,\n"
            "                 veri.txt, veri2.txt and yedek_selvanor/. Without it, the\n"
            "                 program's own folder when that is writable (a portable copy),\n"
            "                 otherwise ~/.local/share/selvanor.\n"
            "  -h, --help     this text; \"selvanor help COMMAND\" or \"selvanor COMMAND\n"
            "                 --help\" shows one command.\n"
            "\n"
            "Commands:\n"
            "  init       make an empty terminal list\n"
            "  terminal   add or list terminals\n"
            "  collect    download attendance records from all terminals or from one\n"
            "  convert    turn a terminal's USB export into lines of veri.txt\n"
            "  clock      read or set a terminal's clock\n"
            "  bells      read or send a terminal's 24 bell times\n"
            "  backup     copy a terminal's whole enrollment into a file\n"
            "  restore    write an enrollment file back onto a terminal\n"
            "  import     take over the terminals and options of an old installation\n"
            "\n"
            "Exit status: 0 success, 1 the work failed (terminal, file), 2 wrong arguments,\n"
            "unknown terminal or unreadable terminal list.\n"),
        {
            {QStringLiteral("init"),
             QStringLiteral("selvanor init [--folder DIR]\n"
                            "  Makes Data.db (the terminal list) and Log.db in the folder where\n"
                            "  they are missing and names each file; an existing file is never\n"
                            "  changed.\n")},
            {QStringLiteral("terminal"),
             QStringLiteral(
                 "selvanor terminal [--folder DIR] add --name N --type ethernet|com|usb\n"
                 "           [--ip A] [--port P] [--number N] [--password P] [--com-port X]\n"
                 "           [--baud B]\n"
                 "selvanor terminal [--folder DIR] list\n"
                 "  add: adds a terminal as the editor \"Terminal Ekle-Değiştir\" does;\n"
                 "  what is not given takes the editor's defaults (number 1, address\n"
                 "  192.168.0.100, port 5005, password 0, com port 1, baud 9600).\n"
                 "  list: one terminal a line: ID, name, type, address, port, number,\n"
                 "  separated by tabs, sorted by name.\n")},
            {QStringLiteral("collect"),
             QStringLiteral(
                 "selvanor collect [--folder DIR] --all\n"
                 "selvanor collect [--folder DIR] --terminal NAME\n"
                 "  --all: \"Bağlanıp Verileri Aktar\": downloads every terminal of the list in\n"
                 "  turn; prints a line for each terminal that did not answer or had no\n"
                 "  records. Exit status 1 when some terminal failed.\n"
                 "  --terminal NAME: \"Verileri Aktar\" for that terminal only.\n"
                 "  The record lines are appended to veri.txt, to the month's file in\n"
                 "  yedek_selvanor/ and, if the option is set, to veri2.txt; the options of\n"
                 "  Settings.ini (veriSil, veriDosya2, dorvak) apply.\n")},
            {QStringLiteral("convert"),
             QStringLiteral(
                 "selvanor convert [--folder DIR] FILE\n"
                 "  \"usb dosya->text (veri.txt)\": converts a terminal's USB export (an\n"
                 "  Excel 97-2003 workbook with sheet Sayfa1, or the .csv file itself) into\n"
                 "  lines appended to veri.txt and prints their number.\n")},
            {QStringLiteral("clock"),
             QStringLiteral("selvanor clock [--folder DIR] --terminal NAME --get|--set\n"
                            "  --get prints the terminal's date and time (\"Tarih-Saat Oku\");\n"
                            "  --set sets it to this computer's (\"Tarih-Saat Ayarla\").\n")},
            {QStringLiteral("bells"),
             QStringLiteral(
                 "selvanor bells [--folder DIR] --terminal NAME --get|--set FILE\n"
                 "  --get prints the terminal's 24 bells, one a line; --set FILE sends the 24\n"
                 "  bells of FILE. A line: \"HH:MM:SS <day code> <seconds>\"; day code 0 every\n"
                 "  day, 1 Sunday .. 7 Saturday, 255 none. The whole file is checked before\n"
                 "  the terminal is contacted.\n")},
            {QStringLiteral("backup"),
             QStringLiteral(
                 "selvanor backup [--folder DIR] --terminal NAME [--file F]\n"
                 "  Reads every user of the terminal (fingerprints, card, password, name,\n"
                 "  privilege) into F, by default allenroll.fpt of the folder.\n")},
            {QStringLiteral("restore"),
             QStringLiteral(
                 "selvanor restore [--folder DIR] --terminal NAME [--file F]\n"
                 "  Checks F (by default allenroll.fpt of the folder) and writes its users\n"
                 "  onto the terminal.\n")},
            {QStringLiteral("import"),
             QStringLiteral(
                 "selvanor import [--folder DIR] OLD_FOLDER\n"
                 "  Takes over an old Windows installation: reads table Terminal of\n"
                 "  OLD_FOLDER/Data.mdb (read only, with mdb-export of mdbtools) into\n"
                 "  Data.db of the folder, keeping its rows and skipping terminals that are\n"
                 "  already there, and copies the [Options], [Login] and [MySql] keys of\n"
                 "  OLD_FOLDER/Settings.ini. Prints each imported and skipped terminal.\n")},
        }};
    return help;
}
