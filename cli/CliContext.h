#pragma once

#include <QCommandLineParser>
#include <QTextStream>

// What every verb shares: its own option parser (help, positional arguments) and the output
// streams. A verb sets up its options, calls parse(), and reports errors as one line on stderr.
class CliContext
{
public:
    CliContext(const QString& verb, const QStringList& arguments);

    QCommandLineParser& parser() { return mParser; }
    // Parses the verb's arguments; false (after printing help, or why they are wrong) when the
    // verb is to end at once with parseExitCode(). positional is how many arguments it needs,
    // optional how many more it takes.
    bool parse(int positional, int optional = 0);
    int parseExitCode() const { return mParser.isSet("help") ? 0 : 2; }
    QStringList positional() const { return mParser.positionalArguments(); }

    QTextStream& out() { return mOut; }
    // Prints "tamarin-cli VERB: message" on stderr and returns the exit code for a failure.
    int fail(const QString& message);
    // The same for arguments that name nothing or make no sense: the exit code of wrong arguments.
    int refuse(const QString& message);

private:
    QString mVerb;
    QStringList mArguments;
    QCommandLineParser mParser;
    QTextStream mOut;
    QTextStream mErr;
};
