#pragma once
// cardpush without its window: `cardpush [--folder DIR] <command> ...`.

#include <QString>
#include <QStringList>

// arguments: without the program name and without --folder. The exit code of the command;
// 2 for an unknown command or wrong arguments.
int runCommand(const QStringList& arguments, const QString& programFolder);

// upload|remove [--kind kart|sifre] [--person KARTNO] [--status tumu|aktif|pasif]
// [--search-in kartno|kartid|ad --search TEXT] [--grup ID] [--bolum ID] [--gorev ID]
// [--servis ID] [--bolge ID] [--firma ID]: Memo5's lines on standard output; 0 when the run
// ended normally, 2 when an error stopped it (credential_commands.cpp).
int uploadCommand(const QStringList& arguments, const QString& programFolder);
int removeCommand(const QStringList& arguments, const QString& programFolder);
