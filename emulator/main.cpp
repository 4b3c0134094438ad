// terminal-emulator: plays one terminal on loopback TCP and, with --pty, on a pseudo-terminal.
#include "control_family.h"
#include "fault_plan.h"
#include "link_server.h"
#include "sdk_family.h"
#include "terminal_state.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <csignal>
#include <cstdio>

namespace {

int fail(const QString& text) {
    std::fprintf(stderr, "terminal-emulator: %s\n", qPrintable(text));
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::signal(SIGPIPE, SIG_IGN);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Plays one time-recording terminal."));
    parser.addHelpOption();
    const QCommandLineOption stateOption(
        QStringLiteral("state"), QStringLiteral("State file (JSON)."), QStringLiteral("FILE"));
    const QCommandLineOption listenOption(
        QStringLiteral("listen"), QStringLiteral("TCP address; port 0 picks a free one."),
        QStringLiteral("HOST:PORT"), QStringLiteral("127.0.0.1:0"));
    const QCommandLineOption ptyOption(
        QStringLiteral("pty"),
        QStringLiteral("Also serve on a new pseudo-terminal linked at PATH."),
        QStringLiteral("PATH"));
    const QCommandLineOption familyOption(QStringLiteral("family"),
                                          QStringLiteral("Terminal family: sdk or control."),
                                          QStringLiteral("NAME"), QStringLiteral("sdk"));
    const QCommandLineOption generateOption(
        QStringLiteral("generate-records"),
        QStringLiteral("Add N generated attendance records to the state."), QStringLiteral("N"));
    const QCommandLineOption refuseOption(QStringLiteral("refuse"),
                                          QStringLiteral("Refuse an operation (repeatable)."),
                                          QStringLiteral("OP"));
    const QCommandLineOption silentOption(QStringLiteral("silent"),
                                          QStringLiteral("Never answer an operation."),
                                          QStringLiteral("OP"));
    const QCommandLineOption malformedOption(
        QStringLiteral("malformed"), QStringLiteral("Answer an operation with a damaged frame."),
        QStringLiteral("OP"));
    const QCommandLineOption closeAfterOption(
        QStringLiteral("close-after"), QStringLiteral("Close the link after N bytes of an answer."),
        QStringLiteral("N"));
    const QCommandLineOption closeOnOption(
        QStringLiteral("close-on"), QStringLiteral("Operations whose answers --close-after cuts."),
        QStringLiteral("OP"));
    const QCommandLineOption delayOption(QStringLiteral("delay"),
                                         QStringLiteral("Wait MS before every answer."),
                                         QStringLiteral("MS"));
    parser.addOptions({stateOption, listenOption, ptyOption, familyOption, generateOption,
                       refuseOption, silentOption, malformedOption, closeAfterOption, closeOnOption,
                       delayOption});
    parser.process(app);

    if (!parser.isSet(stateOption))
        return fail(QStringLiteral("--state FILE is required"));
    TerminalState state;
    if (!state.load(parser.value(stateOption)))
        return fail(state.errorText());
    if (parser.isSet(generateOption)) {
        bool ok = false;
        const int n = parser.value(generateOption).toInt(&ok);
        if (!ok || n < 0)
            return fail(QStringLiteral("--generate-records wants a count"));
        state.generateRecords(n);
        if (!state.save())
            return fail(state.errorText());
    }

    FaultPlan faults;
    faults.readJson(state.faults);
    faults.refuse += parser.values(refuseOption);
    faults.silent += parser.values(silentOption);
    faults.malformed += parser.values(malformedOption);
    if (parser.isSet(closeOnOption))
        faults.closeOn = parser.values(closeOnOption);
    if (parser.isSet(closeAfterOption))
        faults.closeAfterBytes = parser.value(closeAfterOption).toLongLong();
    if (parser.isSet(delayOption))
        faults.delayMs = parser.value(delayOption).toInt();

    std::unique_ptr<TerminalFamily> family;
    const QString familyName = parser.value(familyOption);
    if (familyName == QLatin1String("sdk")) {
        family = std::make_unique<SdkFamily>(state, faults);
    } else if (familyName == QLatin1String("control")) {
        auto control = std::make_unique<ControlFamily>(parser.value(stateOption), faults);
        if (!control->load())
            return fail(control->errorText());
        family = std::move(control);
    } else {
        return fail(QStringLiteral("unknown terminal family \"%1\"").arg(familyName));
    }

    LinkServer server(*family, faults);
    if (!server.listen(parser.value(listenOption)))
        return fail(server.errorText());
    if (parser.isSet(ptyOption) && !server.openPty(parser.value(ptyOption)))
        return fail(server.errorText());
    std::printf("listening on %s\n", qPrintable(server.listeningAddress()));
    std::fflush(stdout);
    server.run();
    return 0;
}
