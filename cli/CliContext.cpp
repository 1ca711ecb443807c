#include "cli/CliContext.h"

#include <cstdio>

CliContext::CliContext(const QString& verb, const QStringList& arguments)
    : mVerb(verb), mArguments(arguments), mOut(stdout), mErr(stderr)
{
    mOut.setCodec("UTF-8");
    mErr.setCodec("UTF-8");
    mParser.addHelpOption();
}

bool CliContext::parse(int positional, int optional)
{
    if (!mParser.parse(mArguments)) {
        fail(mParser.errorText());
        return false;
    }
    if (mParser.isSet("help")) {
        mOut << mParser.helpText().replace(mArguments.value(0), "tamarin-cli " + mVerb);
        mOut.flush();
        return false;
    }
    const int given = mParser.positionalArguments().size();
    if (given < positional || given > positional + optional) {
        fail(QString("expected %1 argument(s), see --help").arg(optional ? QString("%1 to %2").arg(positional).arg(positional + optional) : QString::number(positional)));
        return false;
    }
    return true;
}

int CliContext::fail(const QString& message)
{
    mErr << "tamarin-cli " << mVerb << ": " << message << "\n";
    mErr.flush();
    return 1;
}

int CliContext::refuse(const QString& message)
{
    fail(message);
    return 2;
}
